def f():
    zx = 1
