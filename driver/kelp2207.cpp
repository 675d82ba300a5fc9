// kelp2207: the show in a window of the desktop.
#include "driver/demo.h"

int main(int, char**) { return DemoMain(PlatformDesktop, PLATFORMSCREEN::Window); }
