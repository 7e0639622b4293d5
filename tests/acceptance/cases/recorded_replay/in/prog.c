int main(void)
{
    return 0;
}

void helper(int a)
{
}
