#include "platform/headless.h"

#include <cstring>

namespace {
HEADLESS hooks;
bool open = false;
uint32_t stillClock = 0; // microseconds, moved only by sleeps when there is no clock hook
bool keyGiven = false;   // a drain's key was handed out: the next poll ends the drain
PLATFORMSOUND fill = nullptr;
void* fillData = nullptr;

const char* CheckSettings() { return nullptr; } // it takes none

void Say(const char* line) { PlatformSayOnStandardError(line); }

bool OpenMode(const PLATFORMMODE&, int* bpp) {
    open = true;
    *bpp = 32; // the pictures' own format: nothing is converted
    return true;
}

void CloseMode() { open = false; }

const char* Why() { return ""; }

void Present(const IMG* picture, int, int) {
    if (open && hooks.present) hooks.present(picture, hooks.context);
}

PLATFORMEVENT PollEvent(int* symbol) {
    if (keyGiven) {
        keyGiven = false;
        return PLATFORMEVENT::Empty;
    }
    const int key = hooks.key ? hooks.key(hooks.context) : 0;
    if (key <= 0) return PLATFORMEVENT::Empty;
    *symbol = key;
    keyGiven = true;
    return PLATFORMEVENT::KeyDown;
}

bool OpenSound(PLATFORMSOUND f, void* userdata) {
    if (fill || !f) return false;
    fill = f;
    fillData = userdata;
    return true;
}

void CloseSound() {
    fill = nullptr;
    fillData = nullptr;
}

// Sound is only pulled, on the caller's own thread: nothing to keep apart.
void LockSound() {}
void UnlockSound() {}

uint32_t Clock() { return hooks.clock ? hooks.clock(hooks.context) : stillClock; }

void Sleep(int milliseconds) {
    if (hooks.sleep) {
        hooks.sleep(milliseconds, hooks.context);
    } else if (milliseconds > 0) {
        stillClock += uint32_t(milliseconds) * 1000u;
    }
}

void End(int) {}
} // namespace

const PLATFORM PlatformHeadless = PLATFORM_RECORD("headless");

void HeadlessSetHooks(const HEADLESS* h) {
    hooks = h ? *h : HEADLESS{};
    keyGiven = false;
}

void PlatformChooseHeadless(const HEADLESS* h) {
    HeadlessSetHooks(h);
    PlatformChoose(&PlatformHeadless);
}

void HeadlessPullSound(uint8_t* buffer, int length) {
    if (!buffer || length <= 0) return;
    std::memset(buffer, 0, size_t(length));
    if (fill) fill(fillData, buffer, length);
}
