// Netpbm files of any content through BYTEMAPReadPNM, from a file held in memory and now and
// then through a pipe. Oracles: the pipe gives the same map as the file; where the picture
// reader takes the file, the grey map is the grey of that picture and memory gives the same map
// (a header the strict grammar accepts reads the same in the lenient one, and in files and
// memory alike); and what was read writes out with BYTEMAPWritePGM and reads back equal.
#include <cstdint>

#include "bytemap/bytemap.h"
#include "fuzz/harness.h"
#include "img/img.h"

using harness::Require;

namespace {
// The grey value a map holds for a picture's pixel, for every kind but plain colour, whose
// samples above 255 the picture cannot keep apart.
uint8_t GreyOf(uint32_t pixel, int kind) {
    if (kind == 6) return uint8_t(((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF)) / 3);
    return uint8_t(pixel); // bits as 0 or white, grey samples in every channel
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static harness::MemoryFile input("bytemap_readpnm"), output("bytemap_writepgm");
    const char* name = input.Hold(data, size);
    if (!name) return 0;
    BYTEMAP* map = BYTEMAPReadPNM(name);
    if (harness::NowAndThen(data, size)) {
        BYTEMAP* piped = harness::ThroughPipe(data, size, BYTEMAPReadPNM);
        Require(harness::Equal(map, piped));
        if (piped) BYTEMAPFree(&piped);
    }
    if (IMG* img = IMGFromPNMSize(data, size)) {
        BYTEMAP* memory = BYTEMAPFromPNMSize(data, size);
        Require(map && memory && harness::SameColumns(map, memory));
        BYTEMAPFree(&memory);
        IMG* picture = IMGReadPNM(name);
        Require(picture && picture->width == map->width && picture->height == map->height);
        const int kind = harness::KindOf(data, size);
        for (int i = 0; kind != 3 && i < map->width * map->height; ++i)
            Require(map->data[i] == GreyOf(picture->pixels[i], kind));
        IMGFree(&picture);
        IMGFree(&img);
    }
    if (map) {
        Require(BYTEMAPWritePGM(map, output.Name()) == 1);
        BYTEMAP* back = BYTEMAPReadPNM(output.Name());
        Require(back && BYTEMAPEqual(map, back) == 1);
        BYTEMAPFree(&back);
        BYTEMAPFree(&map);
    }
    return 0;
}
