int main(void)
{
    
    return 0;
}

voidhelper(int a)
{
}

// ä
 
