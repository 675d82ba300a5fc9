// Reads any Netpbm picture (P1 to P6) and writes it at another size as a binary PPM. Scaling
// repeats or drops whole pixels, so edges stay crisp.
#include <kelp2207/img/img.h>

#include <cstdio>
#include <cstdlib>

namespace {
// A width or height: a whole number from 1 to 16384, else -1.
int Size(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return *text && !*end && value >= 1 && value <= 16384 ? int(value) : -1;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 5 || Size(argv[2]) < 0 || Size(argv[3]) < 0) {
        std::fprintf(stderr, "usage: scale-picture INPUT WIDTH HEIGHT OUTPUT.ppm (sizes 1 to 16384)\n");
        return 2;
    }
    IMG* picture = IMGReadPNM(argv[1]);
    if (!picture) {
        std::fprintf(stderr, "scale-picture: %s is not a Netpbm picture that can be read\n", argv[1]);
        return 1;
    }
    IMG* scaled = IMGNew();
    if (scaled) IMGSetSize(scaled, Size(argv[2]), Size(argv[3]));
    const bool made = scaled && scaled->width == Size(argv[2]) && scaled->height == Size(argv[3]);
    if (made) IMGScale(picture, scaled);
    const bool written = made && IMGWritePPM(scaled, argv[4]);
    if (!written) std::fprintf(stderr, "scale-picture: cannot write %s\n", argv[4]);
    IMGFree(&scaled);
    IMGFree(&picture);
    return written ? 0 : 1;
}
