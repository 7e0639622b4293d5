int f(int a);
{
}
int g(void)
