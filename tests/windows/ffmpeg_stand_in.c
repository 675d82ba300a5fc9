/* Stands in for ffmpeg.exe, which this machine has not: takes what the recorder sends on the
 * descriptors 3 and 4 its C runtime was given, as ffmpeg's pipe:3 and pipe:4 would, and writes
 * into the output file (its last argument) the arguments, one a line, an empty line, the count
 * of picture bytes, and then the picture bytes followed by the sound bytes. With
 * KELP_STAND_IN_STALL set it writes "stalled" and reads nothing, as a stuck encoder. */
#define __USE_MINGW_ANSI_STDIO 1 /* %zu */
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

struct stream {
    int fd;
    char* data;
    size_t size;
};

static DWORD WINAPI drain(void* argument) {
    struct stream* s = argument;
    char buffer[65536];
    int n;
    while ((n = _read(s->fd, buffer, sizeof buffer)) > 0) {
        s->data = realloc(s->data, s->size + (size_t)n);
        if (!s->data) exit(3);
        memcpy(s->data + s->size, buffer, (size_t)n);
        s->size += (size_t)n;
    }
    return 0;
}

int main(int argc, char** argv) {
    FILE* out = fopen(argv[argc - 1], "wb");
    if (!out) return 2;
    if (getenv("KELP_STAND_IN_STALL")) {
        fputs("stalled\n", out);
        fclose(out);
        Sleep(INFINITE);
    }
    /* Both at once: the recorder writes the sound of a frame before its picture. */
    struct stream streams[2] = {{3, NULL, 0}, {4, NULL, 0}};
    int sound = 0;
    for (int i = 1; i + 1 < argc; ++i) sound |= strcmp(argv[i], "pipe:4") == 0;
    HANDLE threads[2];
    for (int i = 0; i < 1 + sound; ++i) threads[i] = CreateThread(NULL, 0, drain, &streams[i], 0, NULL);
    WaitForMultipleObjects(1 + sound, threads, TRUE, INFINITE);
    for (int i = 0; i < argc; ++i) fprintf(out, "%s\n", argv[i]);
    fprintf(out, "\n%zu\n", streams[0].size);
    fwrite(streams[0].data, 1, streams[0].size, out);
    fwrite(streams[1].data, 1, streams[1].size, out);
    return fclose(out) == 0 ? 0 : 1;
}
