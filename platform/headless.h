// The headless backend: the show without a screen, a keyboard or a sound card, for a program
// that takes the frames, keys and sound itself (the recorder) and for tests. A mode always
// opens (depth 32); what would reach a screen, a keyboard or a sound card goes through hooks.
#pragma once
#include <cstdint>

#include "img/img.h"
#include "platform/platform.h"

struct HEADLESS {
    // Each presented picture, whole, before the present returns.
    void (*present)(const IMG* picture, void* context) = nullptr;
    // Asked once at each drain of the input queue: a key code above 0 is that key pressed
    // (and held) then; 0 is no event.
    int (*key)(void* context) = nullptr;
    // The clock, in microseconds; without it time stands still but for the sleeps.
    uint32_t (*clock)(void* context) = nullptr;
    // Each sleep asked for; without it a sleep returns at once and moves the still clock on.
    void (*sleep)(int milliseconds, void* context) = nullptr;
    void* context = nullptr;
};

// What the headless backend hands its frames, keys, clock and sleeps to (null: nothing).
void HeadlessSetHooks(const HEADLESS* hooks);
// Runs every later platform call headless, in a window, through these hooks: for tests, which
// have no main of their own to choose in.
void PlatformChooseHeadless(const HEADLESS* hooks);

// Takes the next `length` bytes of the sound that plays, through the fill of the open sound
// output, from a buffer of silence. Silence when no sound is open.
void HeadlessPullSound(uint8_t* buffer, int length);
