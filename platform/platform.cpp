#include "platform/platform.h"

#include <cstdio>

namespace {
const PLATFORM* chosen = &PlatformHeadless;
PLATFORMSCREEN screen = PLATFORMSCREEN::Window;
} // namespace

const PLATFORM* Platform() { return chosen; }

PLATFORMSCREEN PlatformScreen() { return screen; }

void PlatformChoose(const PLATFORM* backend, PLATFORMSCREEN where) {
    chosen = backend ? backend : &PlatformHeadless;
    screen = where;
}

void PlatformSayOnStandardError(const char* line) { std::fprintf(stderr, "%s\n", line); }
