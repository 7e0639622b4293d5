if (a(b) && c) x;
	second
