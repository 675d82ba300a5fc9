#include "platform/browser.h"

#include <emscripten.h>

#include <cstdint>
#include <cstring>

#include "platform/sdlsnd.h"

namespace {
// IMG words are 0x00RRGGBB; the canvas buffer takes bytes R, G, B, A: read as a little-endian
// word that is 0xAABBGGRR, opaque.
constexpr uint32_t CanvasWord(uint32_t p) {
    return 0xFF000000u | (p & 0x0000FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
}
} // namespace

void BrowserPresent(SDL_Surface* screen, const IMG* picture, int w, int h) {
    static bool prepared = false;
    if (!prepared) {
        // Every present writes the whole picture, and what it leaves stays in the buffer: the
        // canvas need not be read back on every lock.
        EM_ASM({ SDL.defaults.discardOnLock = true; });
        prepared = true;
    }
    if (SDL_LockSurface(screen) != 0) return;
    const int rows = h < screen->h ? h : screen->h;
    const int columns = w < screen->w ? w : screen->w;
    for (int y = 0; y < rows; ++y) {
        const uint32_t* from = picture->pixels + size_t(y) * size_t(picture->width);
        auto* to = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(screen->pixels) + size_t(y) * screen->pitch);
        for (int x = 0; x < columns; ++x) to[x] = CanvasWord(from[x]);
    }
    SDL_UnlockSurface(screen);
}

// Called from the page's runtime when the program exits (see BrowserEndShowAtExit).
extern "C" EMSCRIPTEN_KEEPALIVE void BrowserEndShow(int status) {
    SDL_PauseAudio(1);
    SDL_CloseAudio();
    // Buffers already handed to the page's audio would play on for a moment; suspending the
    // context silences them now. Then the page says how the show ended.
    EM_ASM({
        if (typeof SDL == 'object' && SDL.audioContext) SDL.audioContext.suspend();
        if (Module.kelpShowEnded) Module.kelpShowEnded($0);
    }, status);
}

void BrowserEndShowAtExit() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    // exit() in a page runs no exit handlers while timers (the sound's) are pending: it only
    // unwinds the program. So the runtime's exit is hooked instead, for the program's own exits
    // (not the runtime's implicit one when main first yields to the browser); once ended,
    // nothing of the program runs again.
    EM_ASM({
        var programExit = exit;
        exit = function(status, implicit) {
            if (!implicit && !ABORT) {
                _BrowserEndShow(status);
                ABORT = true;
            }
            return programExit(status, implicit);
        };
    });
}

void BrowserSoundCallback(void* userdata, Uint8* buffer, int length) {
    if (buffer && length > 0) std::memset(buffer, 0, size_t(length));
    SDLSNDCallback(userdata, buffer, length);
}

void BrowserSoundOpened() {
    EM_ASM({
        if (Module.kelpSoundOpened && typeof SDL == 'object') Module.kelpSoundOpened(SDL.audioContext);
    });
}
