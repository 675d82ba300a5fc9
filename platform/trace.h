// Trace and error lines of the platform modules: compiled in, printed to standard output only
// while the module's compile-time switch is on (it is off in both builds).
#pragma once
#include <cstdio>

template <bool On>
void PlatformSay(const char* line) {
    if (On) std::fputs(line, stdout);
}

// Prints "<name>_" on entry and "_<name>" on every way out.
template <bool On>
struct PlatformTraced {
    const char* name;
    explicit PlatformTraced(const char* n) : name(n) {
        if (On) std::printf("%s_\n", name);
    }
    ~PlatformTraced() {
        if (On) std::printf("_%s\n", name);
    }
};
