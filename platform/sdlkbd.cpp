#include "platform/sdlkbd.h"

#include <cstdio>
#include <cstdlib>

#include "platform/sdldpy.h"
#include "platform/platform.h"
#include "platform/trace.h"
#include "support/identity.h"

namespace {
// This module's identity has three fields only.
struct KeyboardIdentity {
    char name[8], date[8], author[8];
};
KELP_IDENTITY constexpr KeyboardIdentity identity = {
    {'S', 'D', 'L', 'K', 'B', 'D'}, {'2', '0', '0', '3', '0', '7', '2', '8'}, {'O', 'V', 'K'}};

// Trace and error lines are compiled in but switched off in both builds.
constexpr bool trace = false;
constexpr auto Say = PlatformSay<trace>;
using Traced = PlatformTraced<trace>;

SDLKBD* keyboard = nullptr;
} // namespace

SDLKBD* SDLKBDNew() {
    Traced t("SDLKBDNew");
    if (!SDLDPYCurrent()) {
        Say("ERR SDL not init'ed\n");
        return nullptr;
    }
    if (keyboard) return keyboard;
    auto* record = static_cast<SDLKBD*>(std::calloc(1, sizeof(SDLKBD)));
    auto* keys = static_cast<unsigned char*>(std::calloc(8, 1));
    if (!record || !keys) {
        std::free(record);
        std::free(keys);
        Say("ERR calloc SDLKBD\n");
        return nullptr;
    }
    record->keys = keys;
    keyboard = record;
    return keyboard;
}

int SDLKBDGetKey(SDLKBD* record) {
    Traced t("SDLKBDGetKey");
    if (!record || !record->keys) {
        Say("ERR void parameter\n");
        return 0;
    }
    if (!SDLDPYCurrent()) Say("ERR no display\n");
    int symbol = 0;
    for (PLATFORMEVENT event; (event = Platform()->pollEvent(&symbol)) != PLATFORMEVENT::Empty;) {
        if (event == PLATFORMEVENT::KeyDown) {
            // The symbol modulo 256: keys beyond the byte read as the key of their low byte.
            record->keys[0] = static_cast<unsigned char>(symbol & 0xFF);
            if (trace) std::printf("keySym=%c\nkeyName=%d\n", record->keys[0], symbol);
        } else if (event == PLATFORMEVENT::KeyUp) {
            record->keys[0] = 0;
        }
        // Every other event, the window's close request included, is dropped.
    }
    return 0;
}

void SDLKBDFree(SDLKBD** record) {
    Traced t("SDLKBDFree");
    if (!record || !*record) {
        Say("ERR void parameter\n");
        return;
    }
    // Forget the record so a later SDLKBDNew makes a fresh one instead of handing it back.
    if (*record == keyboard) keyboard = nullptr;
    std::free((*record)->keys);
    std::free(*record);
    *record = nullptr;
}

const char* SDLKBDToASCII(const SDLKBD* record) {
    Traced t("SDLKBDToASCII");
    if (!record) {
        Say("ERR void parameter\n");
        return nullptr;
    }
    return "";
}

SDLKBD* SDLKBDFromASCII(const char* text) {
    Traced t("SDLKBDFromASCII");
    if (!text) Say("ERR void parameter\n");
    return nullptr;
}

int SDLKBDEqual(const SDLKBD* a, const SDLKBD* b) {
    Traced t("SDLKBDEqual");
    if (!a || !b) {
        Say("ERR void parameter\n");
        return 0;
    }
    return a == b ? 1 : 0;
}

SDLKBD* SDLKBDCopy(const SDLKBD* record) {
    Traced t("SDLKBDCopy");
    if (!record) Say("ERR void parameter\n");
    return nullptr;
}
