if x:
  zy
