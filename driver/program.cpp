// What every program of the show does around it, whatever its platform: its settings checked,
// start-up, the show until ESC's fade, the end.
#include <cstdio>

#include "driver/demo.h"

namespace {
void Say(const char* why) {
    char line[768];
    std::snprintf(line, sizeof line, "kelp2207: %s", why);
    Platform()->say(line);
}
} // namespace

int DemoMain(const PLATFORM& backend, PLATFORMSCREEN screen) {
    PlatformChoose(&backend, screen);
    if (const char* problem = Platform()->checkSettings()) {
        Say(problem);
        return 2;
    }
    int status = 0;
    if (const char* failure = DemoInit()) {
        Say(failure);
        status = 1;
    } else {
        DemoRunShow(); // until ESC's fade is done
    }
    Platform()->end(status);
    return status;
}
