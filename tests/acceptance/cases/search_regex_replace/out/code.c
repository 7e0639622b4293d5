long count = 10; /* was INT */
long limit = 5; /* was SHORT */
float ratio = 2;
	int  x = 3;
