#include "ai/levels.h"
int main()
{
    return 0;
}
