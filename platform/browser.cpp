// The browser backend: the show in a web page, over Emscripten's SDL 1.2. The screen surface is
// the page's canvas, sound goes to the page's audio, and the page is told when the show ends.
#include <SDL.h>
#include <emscripten.h>

#include <cstdint>
#include <cstring>

#include "platform/platform.h"

namespace {
SDL_Surface* screen = nullptr;
char reason[256] = "";
PLATFORMSOUND fill = nullptr;
int tapped = 0;        // a key the page's buttons pressed, for the next drain
bool tapGiven = false; // this drain has had it

// IMG words are 0x00RRGGBB; the canvas buffer takes bytes R, G, B, A: read as a little-endian
// word that is 0xAABBGGRR, opaque.
constexpr uint32_t CanvasWord(uint32_t p) {
    return 0xFF000000u | (p & 0x0000FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
}

const char* CheckSettings() { return nullptr; } // it takes none

void Say(const char* line) { PlatformSayOnStandardError(line); }

bool OpenMode(const PLATFORMMODE& mode, int* bpp) {
    // The picture is opaque: said before SDL takes the canvas's context, the browser composites
    // the canvas without blending and skips drawing what lies under it.
    EM_ASM({
        if (Module.canvas) Module.canvas.getContext('2d', {alpha: false});
    });
    // A window's flags (SDL_HWSURFACE | SDL_ANYFORMAT): the page itself takes the whole screen.
    screen = SDL_SetVideoMode(mode.width, mode.height, 0, 0x10000001u);
    if (!screen) {
        std::strncpy(reason, SDL_GetError(), sizeof reason - 1);
        return false;
    }
    // Every present writes the whole picture, opaque, and what it leaves stays in the buffer:
    // the canvas need not be read back on every lock, nor its alpha set again on lock and unlock.
    EM_ASM({
        SDL.defaults.discardOnLock = true;
        SDL.defaults.opaqueFrontBuffer = false;
    });
    SDL_WM_SetCaption(mode.title, mode.title);
    *bpp = screen->format->BitsPerPixel;
    return true;
}

void CloseMode() { screen = nullptr; }

const char* Why() { return reason; }

// A page's surfaces are canvases: no conversion to a display format, and the canvas shows what
// the screen's buffer holds when it is unlocked.
void Present(const IMG* picture, int w, int h) {
    if (!screen || SDL_LockSurface(screen) != 0) return;
    const int rows = h < screen->h ? h : screen->h;
    const int columns = w < screen->w ? w : screen->w;
    for (int y = 0; y < rows; ++y) {
        const uint32_t* from = picture->pixels + size_t(y) * size_t(picture->width);
        auto* to = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(screen->pixels) + size_t(y) * screen->pitch);
        for (int x = 0; x < columns; ++x) to[x] = CanvasWord(from[x]);
    }
    SDL_UnlockSurface(screen);
}

PLATFORMEVENT PollEvent(int* symbol) {
    SDL_Event event;
    if (!SDL_PollEvent(&event)) {
        // A tap on one of the page's keys comes last in the drain: it wins like a later press.
        if (tapped && !tapGiven) {
            *symbol = tapped;
            tapped = 0;
            tapGiven = true;
            return PLATFORMEVENT::KeyDown;
        }
        tapGiven = false;
        return PLATFORMEVENT::Empty;
    }
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return PLATFORMEVENT::Other;
    *symbol = event.key.keysym.sym;
    return event.type == SDL_KEYDOWN ? PLATFORMEVENT::KeyDown : PLATFORMEVENT::KeyUp;
}

// The page's audio hands over the buffer it played last, not silence: cleared first.
void FillFromSilence(void* userdata, Uint8* buffer, int length) {
    if (buffer && length > 0) std::memset(buffer, 0, size_t(length));
    fill(userdata, buffer, length);
}

bool OpenSound(PLATFORMSOUND f, void* userdata) {
    if (fill || SDL_Init(SDL_INIT_EVERYTHING) != 0) return false;
    SDL_AudioSpec desired = {};
    desired.freq = 44100;
    desired.format = AUDIO_S16LSB;
    desired.channels = 1;
    desired.samples = 4096;
    desired.callback = FillFromSilence;
    desired.userdata = userdata;
    fill = f;
    // A context made for playback rather than for instant response: the browser hands its
    // sound on in larger blocks, waking the processor less often. SDL uses it as its own.
    EM_ASM({
        if (typeof SDL == 'object' && !SDL.audioContext && typeof AudioContext != 'undefined') {
            SDL.audioContext = new AudioContext({latencyHint: 'playback'});
        }
    });
    if (SDL_OpenAudio(&desired, nullptr) < 0) {
        fill = nullptr;
        return false;
    }
    SDL_PauseAudio(0);
    // The page says when the browser holds sound back until the first key or click.
    EM_ASM({
        if (Module.kelpSoundOpened && typeof SDL == 'object') Module.kelpSoundOpened(SDL.audioContext);
    });
    return true;
}

void CloseSound() {
    SDL_PauseAudio(1);
    SDL_CloseAudio();
    fill = nullptr;
}

void LockSound() { SDL_LockAudio(); }
void UnlockSound() { SDL_UnlockAudio(); }

uint32_t Clock() { return SDL_GetTicks() * 1000u; }

// The frame loop sleeps here as on the desktop: ASYNCIFY hands the page back to the browser.
void Sleep(int milliseconds) { SDL_Delay(Uint32(milliseconds > 0 ? milliseconds : 0)); }

void End(int status) {
    if (fill) CloseSound();
    // Buffers already handed to the page's audio would play on for a moment; suspending the
    // context silences them now. Then the page says how the show ended.
    EM_ASM({
        if (typeof SDL == 'object' && SDL.audioContext) SDL.audioContext.suspend();
        if (Module.kelpShowEnded) Module.kelpShowEnded($0);
    }, status);
}
} // namespace

// The page's on-screen keys: the key acts as a press at the next frame end, as a key pressed
// and held for that frame would (the show takes one press per key, never a release).
extern "C" EMSCRIPTEN_KEEPALIVE void BrowserTap(int symbol) {
    if (symbol > 0) tapped = symbol;
}

const PLATFORM PlatformBrowser = PLATFORM_RECORD("browser");
