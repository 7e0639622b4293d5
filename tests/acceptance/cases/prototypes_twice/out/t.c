int f(int a);
{
void g(void);
int main(void) ;
int k(void)
