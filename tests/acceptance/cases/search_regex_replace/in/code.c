int count = 10;
short limit=5;
float ratio = 2;
	int  x = 3;
