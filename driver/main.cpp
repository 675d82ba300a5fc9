#include "driver/demo.h"

int main(int, char**) {
    DemoInit();
    DemoRunShow();
}
