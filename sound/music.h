// MUSIC: composes the demo's music while it plays. The output is one bar of 50000 values
// (about 1.13 s at 44100 Hz) that the driver keeps queued in a loop; every `period` ticks one
// instrument lands at one of 16 evenly spaced places while everything older fades to three
// quarters: new = (3 * old + note) >> 2.
//
// The module takes no lock. A tick rewrites the bar in place, so whoever plays it must not
// read it during MUSICTick.
#pragma once

#include "sound/sample.h"
#include "support/list.h"

struct MUSIC {
    int countdown;     // ticks left before the next note; 0 at creation
    int period;        // ticks between two notes: 300
    SAMPLE* output;    // the bar, owned
    LIST* instruments; // SAMPLE pointers, owned, in the order they were added
};

constexpr int kMusicBarLength = 50000;
constexpr int kMusicPeriod = 300;

MUSIC* MUSICNew();                                    // null when memory runs out
void MUSICAddInstrument(MUSIC* music, SAMPLE* sound); // the generator takes ownership
void MUSICTick(MUSIC* music);
void MUSICFree(MUSIC** music);
void MUSICError();
