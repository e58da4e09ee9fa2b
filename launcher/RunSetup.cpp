#include "launcher/RunSetup.h"

int RunSetup(HINSTANCE, RunMode)
{
    return 0;
}
