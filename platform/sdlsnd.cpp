#include "platform/sdlsnd.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/trace.h"

namespace {
// Trace and error lines are compiled in but switched off in both builds; the callback
// would otherwise print from the audio thread.
constexpr bool trace = false;
constexpr auto Say = PlatformSay<trace>;
using Traced = PlatformTraced<trace>;

constexpr int kFrequency = 44100;
constexpr int kDepth = 16;

// The handle that owns the open device: only its release closes the device.
SDLSND* opened = nullptr;

// Sends `count` values as their two low bytes, little-endian; no clamping, so values beyond
// 16 bits wrap as the device would read them.
void PutValues(uint8_t* out, const int32_t* values, int count) {
    for (int i = 0; i < count; ++i) {
        const auto v = static_cast<uint32_t>(values[i]);
        out[2 * i] = static_cast<uint8_t>(v);
        out[2 * i + 1] = static_cast<uint8_t>(v >> 8);
    }
}
} // namespace

SDLSND* SDLSNDNew() {
    Traced t("SDLSNDNew");
    auto* sound = static_cast<SDLSND*>(std::calloc(1, sizeof(SDLSND)));
    if (!sound) {
        Say("ERR calloc SDLSND\n");
        return nullptr;
    }
    // The record is complete before the audio thread exists, so its first callback finds
    // nothing half-made.
    sound->frequency = kFrequency;
    sound->depth = kDepth;
    sound->sign = 's';
    sound->order = 'l';
    sound->mute = 0;
    sound->queue = LISTNew();
    if (!sound->queue) {
        std::free(sound);
        Say("ERR calloc SDLSND\n");
        return nullptr;
    }
    // The platform starts what it needs (SDL's every subsystem on the desktop) and the
    // device, 44100 Hz signed 16-bit little-endian mono in buffers of 4096 frames.
    if (!Platform()->openSound(SDLSNDCallback, sound)) {
        Say("ERR open audio\n");
        LISTFree(&sound->queue);
        std::free(sound);
        return nullptr;
    }
    opened = sound;
    return sound;
}

void SDLSNDFree(SDLSND** p) {
    Traced t("SDLSNDFree");
    if (!p || !*p) {
        Say("ERR void parameter\n");
        return;
    }
    if (*p == opened) {
        Platform()->closeSound(); // waits for the callback to be left, so takes no lock
        opened = nullptr;
    }
    if ((*p)->queue) LISTFree(&(*p)->queue);
    std::free(*p);
    *p = nullptr;
}

const char* SDLSNDToASCII(const SDLSND* sound) {
    Traced t("SDLSNDToASCII");
    if (!sound) {
        Say("ERR void parameter\n");
        return nullptr;
    }
    return "";
}

SDLSND* SDLSNDFromASCII(const char* text) {
    Traced t("SDLSNDFromASCII");
    if (!text) Say("ERR void parameter.\n");
    return nullptr;
}

bool SDLSNDEqual(const SDLSND* a, const SDLSND* b) {
    Traced t("SDLSNDEqual");
    if (!a || !b) {
        Say("ERR void parameter\n");
        return false;
    }
    return true;
}

SDLSND* SDLSNDCopy(const SDLSND* sound) {
    Traced t("SDLSNDCopy");
    if (!sound) Say("ERR void parameter\n");
    return nullptr;
}

void SDLSNDPlay(SDLSND* sound) {
    Traced t("SDLSNDPlay");
    if (!sound) Say("ERR void parameter\n");
}

void SDLSNDPlaySAMPLE(SDLSND* sound, SAMPLE* buffer) {
    Traced t("SDLSNDPlaySAMPLE");
    if (!sound || !buffer) {
        Say("ERR void parameter\n");
        return;
    }
    if (!sound->queue) {
        Say("ERR void snd->queue\n");
        sound->queue = LISTNew();
        if (!sound->queue) return;
    }
    LISTAppend(sound->queue, buffer);
}

void SDLSNDCallback(void* userdata, uint8_t* buffer, int length) {
    Traced t("SDLSNDCallback");
    auto* sound = static_cast<SDLSND*>(userdata);
    if (!sound || !buffer) {
        Say("ERR void parameter\n");
        return;
    }
    if (length <= 0) {
        Say("ERR wrong length\n");
        return;
    }
    LIST* queue = sound->queue;
    if (!queue || queue->count <= 0) {
        Say("ERR underflow\n"); // SDL has filled the buffer with silence
        return;
    }
    auto* head = static_cast<SAMPLE*>(LISTGet(queue, 0));
    if (sound->mute || !head) {
        std::memset(buffer, 0, static_cast<size_t>(length));
        return;
    }
    uint8_t* out = buffer;
    int left = length / 2; // whole 16-bit samples; an odd last byte stays as it was
    while (left > 0) {
        if (head->items && sound->position >= 0 && sound->position < head->length) {
            const int run = std::min(left, head->length - sound->position);
            PutValues(out, head->items + sound->position, run);
            out += 2 * run;
            left -= run;
            sound->position += run;
        } else { // nothing to read there: one silent sample, then the buffer is done
            out[0] = out[1] = 0;
            out += 2;
            left -= 1;
            sound->position += 1;
        }
        if (sound->position >= head->length) {
            LISTRemove(queue, 0); // played to its end; its owner keeps it
            sound->position = 0;
            head = static_cast<SAMPLE*>(LISTGet(queue, 0));
            if (!head) break; // the rest keeps SDL's silence
        }
    }
}

void SDLSNDLock() { Platform()->lockSound(); }

void SDLSNDUnlock() { Platform()->unlockSound(); }
