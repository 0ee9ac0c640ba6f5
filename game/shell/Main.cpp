#include <cstdio>

int main()
{
    std::puts("Velmira Cafe: the application object and its main loop are not built yet.");
    return 0;
}
