#include "sound/music.h"

#include <cstdio>
#include <cstdlib>

#include "support/identity.h"
#include "support/random.h"

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("MUSIC", "20110509", "OrvilleK", "C++", "CODE");
unsigned char debug = 0;

// The note's work buffer, shared by every generator and kept for the life of the process so
// a note tick needs no allocation of its own beyond the rotation's.
SAMPLE* scratch = nullptr;

bool ScratchReady(int length) {
    if (scratch && scratch->length != length) SAMPLEFree(&scratch);
    if (!scratch) {
        scratch = SAMPLENew();
        if (scratch) SAMPLESetLength(scratch, length);
    }
    return scratch && scratch->items && scratch->length == length;
}
} // namespace

void MUSICError() {
    if (debug) std::printf("MUSIC ERROR\n");
}

MUSIC* MUSICNew() {
    auto* music = static_cast<MUSIC*>(std::calloc(1, sizeof(MUSIC)));
    if (!music) {
        MUSICError();
        return nullptr;
    }
    music->output = SAMPLENew();
    music->countdown = 0;
    music->instruments = LISTNew();
    if (music->output) SAMPLESetLength(music->output, kMusicBarLength);
    music->period = kMusicPeriod;
    if (!music->output || music->output->length != kMusicBarLength || !music->instruments) {
        MUSICFree(&music); // half a generator would fail later and quietly
        MUSICError();
        return nullptr;
    }
    return music;
}

void MUSICAddInstrument(MUSIC* music, SAMPLE* sound) {
    if (!music || !sound || !music->instruments) return;
    LISTAppend(music->instruments, sound);
}

void MUSICTick(MUSIC* music) {
    if (!music) return;
    music->countdown -= 1;
    if (music->countdown > 0) return;
    music->countdown = music->period;

    SAMPLE* bar = music->output;
    if (!bar || !bar->items) return;
    const int length = bar->length;
    if (!ScratchReady(length)) return;
    SAMPLEClear(scratch);
    const int count = music->instruments ? music->instruments->count : 0;
    if (count <= 0) return; // nothing to choose from

    // Five draws in this order: the instrument, then the four binary digits of the step.
    const int r0 = RANDNext(), r1 = RANDNext(), r2 = RANDNext(), r3 = RANDNext(), r4 = RANDNext();
    const int index = r0 % count;
    const int delay = (r1 % 2) * (length >> 1) + (r2 % 2) * (length >> 2) + (r3 % 2) * (length >> 3) +
                      (r4 % 2) * (length >> 4);
    auto* note = static_cast<SAMPLE*>(LISTGet(music->instruments, index));
    if (!note) return;

    SAMPLEAdd(scratch, note);
    SAMPLERotateRight(scratch, delay); // a note running past the bar's end continues at its start
    SAMPLEAdd(scratch, bar);           // note + old
    SAMPLEShiftLeft(bar, 1);           // 2 * old
    SAMPLEAdd(bar, scratch);           // 3 * old + note
    SAMPLEShiftRight(bar, 2);          // floor of a quarter: stays within 16 bits
}

void MUSICFree(MUSIC** p) {
    if (!p || !*p) {
        MUSICError();
        return;
    }
    MUSIC* music = *p;
    if (music->output) SAMPLEFree(&music->output);
    if (music->instruments) {
        while (music->instruments->count > 0) {
            auto* sound = static_cast<SAMPLE*>(LISTPop(music->instruments));
            if (sound) SAMPLEFree(&sound);
        }
        LISTFree(&music->instruments);
    }
    std::free(music);
    *p = nullptr;
}
