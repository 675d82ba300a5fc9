// A WAV file of 16-bit PCM, mono, 44100 Hz, written as the sound comes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

struct WAVWRITER {
    FILE* file = nullptr;
    uint64_t bytes = 0; // sound bytes so far
    bool failed = false;
};

bool WAVOpen(WAVWRITER& wav, const char* name);
bool WAVAppend(WAVWRITER& wav, const uint8_t* sound, size_t bytes); // little-endian values
// Writes the sizes into the header and closes; false when any write failed or the sound
// outgrew the format's 4 GiB. Closing an unopened writer does nothing.
bool WAVClose(WAVWRITER& wav);
