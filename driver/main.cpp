#include <cstdio>

#include "driver/demo.h"
#include "platform/platform.h"

int main(int, char**) {
    if (const char* problem = Platform()->checkSettings()) {
        std::fprintf(stderr, "kelp2207: %s\n", problem);
        return 2;
    }
    int status = 0;
    if (const char* failure = DemoInit()) {
        std::fprintf(stderr, "kelp2207: %s\n", failure);
        status = 1;
    } else {
        DemoRunShow(); // until ESC's fade is done
    }
    Platform()->end(status);
    return status;
}
