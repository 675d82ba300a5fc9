#include "platform/browser.h"

#include <emscripten.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/sdlsnd.h"

namespace {
// IMG words are 0x00RRGGBB; the canvas buffer takes bytes R, G, B, A: read as a little-endian
// word that is 0xAABBGGRR, opaque.
constexpr uint32_t CanvasWord(uint32_t p) {
    return 0xFF000000u | (p & 0x0000FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
}

void EndShow() {
    SDL_PauseAudio(1);
    SDL_CloseAudio();
    // Buffers already handed to the page's audio would play on for a moment; suspending the
    // context silences them now. Then the page says the show has ended.
    EM_ASM({
        if (typeof SDL == 'object' && SDL.audioContext) SDL.audioContext.suspend();
        if (Module.kelpShowEnded) Module.kelpShowEnded();
    });
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

void BrowserEndShowAtExit() {
    static bool registered = false;
    if (!registered) std::atexit(EndShow);
    registered = true;
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
