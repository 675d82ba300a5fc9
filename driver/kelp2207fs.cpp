// kelp2207fs: the show on the desktop's whole screen.
#include "driver/demo.h"

int main(int, char**) { return DemoMain(PlatformDesktop, PLATFORMSCREEN::FullScreen); }
