if x:  
y
