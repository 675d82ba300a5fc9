// The demo's 13 instrument sounds, compiled in from data/instruments/*.wav: mono 44100 Hz
// values within -32768 .. 32767, the first 22050 long, the others 11024. Each record has the
// SAMPLE layout with capacity equal to length and values in read-only memory: read them, or
// SAMPLECopy them into samples of one's own.
#pragma once
#include <cstdint>

#include "sound/sample.h"

constexpr int kInstrumentCount = 13;

struct INSTRUMENTTABLE {
    int32_t count; // kInstrumentCount
    SAMPLE records[kInstrumentCount];
};

extern const INSTRUMENTTABLE INSTRUMENTS;
