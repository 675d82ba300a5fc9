// The show in a web page: the page itself offers the whole screen.
#include "driver/demo.h"

int main(int, char**) { return DemoMain(PlatformBrowser, PLATFORMSCREEN::Window); }
