// The scene DemoInitScene makes, released again. The program keeps it for ever; a test program
// that makes it for case after case in one process would lose each one.
#pragma once
#include "driver/demo.h"

inline void FreeScene() {
    SCROLLFree(&demo.scroll);
    FONTFree(&demo.textFont); // with the font pictures they own
    FONTFree(&demo.sprayFont);
    ROTOZOOMFree(&demo.rotozoom); // with the badge it owns
    demo.badge = nullptr;
    IMGFree(&demo.logo);
    IMGFree(&demo.bigLogo);
    IMGFree(&demo.corner);
    MUSICFree(&demo.music);
    IMGFree(&demo.back);
}
