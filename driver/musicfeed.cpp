#include "driver/musicfeed.h"

#include "data/instruments.h"
#include "driver/demo.h"

void DemoInitSound() { demo.sound = SDLSNDNew(); }

void DemoInitMusic() {
    demo.music = MUSICNew();
    if (!demo.music) return; // no memory for it: the frame end skips the music
    for (int i = 0; i < INSTRUMENTS.count; ++i) MUSICAddInstrument(demo.music, SAMPLECopy(&INSTRUMENTS.records[i]));
}

void DemoMusicTick() {
    // The audio thread must not see the bar mid-mix nor the queue mid-append, so the whole
    // step holds the audio lock; it is short (one decrement on all but every 300th frame).
    SDLSNDLock();
    MUSICTick(demo.music);
    SDLSND* sound = demo.sound;
    if (sound && demo.music) {
        const int waiting = sound->queue ? sound->queue->count : 0;
        if (waiting < kSoundQueueLimit) SDLSNDPlaySAMPLE(sound, demo.music->output);
    }
    SDLSNDUnlock();
}
