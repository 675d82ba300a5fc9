#include "driver/demo.h"

int main(int, char**) {
    DemoInit();
    for (;;) {
        DemoPartLogo();
        DemoPartBursts();
        DemoPartMosaic();
        DemoPartRects();
    }
}
