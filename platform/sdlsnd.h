// SDLSND: the audio device and a queue of SAMPLE buffers played one after another at 44100 Hz,
// signed 16-bit little-endian mono, 4096 frames per device buffer.
//
// SDL's audio thread runs SDLSNDCallback with the audio lock held; everything else runs on
// the caller's thread. The module takes no lock of its own: whoever queues buffers, reads
// the queue or changes a queued buffer's values does so between SDLSNDLock and SDLSNDUnlock.
// The queue holds references: queued buffers are never released here, must keep their
// length while queued and must outlive their place in the queue.
#pragma once
#include <cstdint>

#include "sound/sample.h"
#include "support/list.h"

struct SDLSND {
    int frequency;      // 44100
    int depth;          // 16
    int position;       // next value of the buffer at the head of the queue
    LIST* queue;        // SAMPLE pointers waiting to play, head first; owned, its buffers not
    char sign;          // 's'
    char order;         // 'l'
    unsigned char mute; // 1: the callback plays silence and leaves the queue alone
};

SDLSND* SDLSNDNew(); // opens the device and starts playback; null when there is no device
void SDLSNDFree(SDLSND** sound);
const char* SDLSNDToASCII(const SDLSND* sound); // the empty text; null for a null handle
SDLSND* SDLSNDFromASCII(const char* text);      // always null
bool SDLSNDEqual(const SDLSND* a, const SDLSND* b);
SDLSND* SDLSNDCopy(const SDLSND* sound); // always null
void SDLSNDPlay(SDLSND* sound);          // does nothing
void SDLSNDPlaySAMPLE(SDLSND* sound, SAMPLE* buffer);
void SDLSNDCallback(void* userdata, uint8_t* buffer, int length);

// Keeps the audio thread out of the callback in between; nests with nothing.
void SDLSNDLock();
void SDLSNDUnlock();
