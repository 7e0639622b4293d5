def f():
x = 1   
