// Reads any Netpbm picture (P1 to P6) and writes it as a grey map, a binary PGM: each pixel
// the mean of its red, green and blue. With --invert, light and dark change places.
#include <kelp2207/bytemap/bytemap.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const bool invert = argc == 4 && std::strcmp(argv[1], "--invert") == 0;
    if (argc != 3 && !invert) {
        std::fprintf(stderr, "usage: grey-map [--invert] INPUT OUTPUT.pgm\n");
        return 2;
    }
    const char* input = argv[argc - 2];
    const char* output = argv[argc - 1];
    BYTEMAP* map = BYTEMAPReadPNM(input);
    if (!map) {
        std::fprintf(stderr, "grey-map: %s is not a Netpbm picture that can be read\n", input);
        return 1;
    }
    if (invert) BYTEMAPInvert(map);
    const bool written = BYTEMAPWritePGM(map, output);
    if (!written) std::fprintf(stderr, "grey-map: cannot write %s\n", output);
    BYTEMAPFree(&map);
    return written ? 0 : 1;
}
