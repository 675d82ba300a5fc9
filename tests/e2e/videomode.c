/* Preloaded into the program: every SDL_SetVideoMode is written to the file KELP_VIDEO_MODE_LOG
 * as "width height flags" (the flags in hexadecimal), so a test reads what the program asked
 * of SDL rather than what SDL or the window system made of it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

void* SDL_SetVideoMode(int width, int height, int bpp, uint32_t flags) {
    static void* (*real)(int, int, int, uint32_t);
    if (!real) real = (void* (*)(int, int, int, uint32_t))dlsym(RTLD_NEXT, "SDL_SetVideoMode");
    const char* path = getenv("KELP_VIDEO_MODE_LOG");
    FILE* log = path ? fopen(path, "a") : NULL;
    if (log) {
        fprintf(log, "%d %d 0x%08x\n", width, height, (unsigned)flags);
        fclose(log);
    }
    return real(width, height, bpp, flags);
}
