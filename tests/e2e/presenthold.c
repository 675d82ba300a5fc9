/* Preloaded into the program: every present stays on the screen KELP_PRESENT_HOLD_MS
 * milliseconds, and the last picture KELP_QUIT_HOLD_MS more before SDL closes the window, so a
 * test can watch a fade that otherwise runs as fast as the machine presents. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <stdlib.h>
#include <time.h>

static void Hold(const char* name) {
    const char* value = getenv(name);
    const long ms = value ? atol(value) : 0;
    if (ms <= 0) return;
    struct timespec t = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&t, &t) != 0) {
    }
}

void SDL_UpdateRect(void* screen, int32_t x, int32_t y, uint32_t w, uint32_t h) {
    static void (*real)(void*, int32_t, int32_t, uint32_t, uint32_t);
    if (!real) real = (void (*)(void*, int32_t, int32_t, uint32_t, uint32_t))dlsym(RTLD_NEXT, "SDL_UpdateRect");
    real(screen, x, y, w, h);
    Hold("KELP_PRESENT_HOLD_MS");
}

int SDL_Flip(void* screen) {
    static int (*real)(void*);
    if (!real) real = (int (*)(void*))dlsym(RTLD_NEXT, "SDL_Flip");
    const int result = real(screen);
    Hold("KELP_PRESENT_HOLD_MS");
    return result;
}

void SDL_Quit(void) {
    static void (*real)(void);
    if (!real) real = (void (*)(void))dlsym(RTLD_NEXT, "SDL_Quit");
    Hold("KELP_QUIT_HOLD_MS");
    real();
}
