// Netpbm files of any content through IMGReadPNM, from a file held in memory and now and then
// through a pipe. Oracles: the pipe gives the same picture as the file; memory gives the same
// picture as the file (the strict header reads the same both ways once memory accepts it); and
// what was read writes out with IMGWritePPM and reads back equal.
#include <cstdint>

#include "fuzz/harness.h"
#include "img/img.h"

using harness::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static harness::MemoryFile input("img_readpnm"), output("img_writeppm");
    const char* name = input.Hold(data, size);
    if (!name) return 0;
    IMG* img = IMGReadPNM(name);
    if (harness::NowAndThen(data, size)) {
        IMG* piped = harness::ThroughPipe(data, size, IMGReadPNM);
        Require(harness::Equal(img, piped));
        if (piped) IMGFree(&piped);
    }
    if (IMG* memory = IMGFromPNMSize(data, size)) {
        Require(img && harness::SameColumns(img, memory));
        IMGFree(&memory);
    }
    if (img) {
        Require(IMGWritePPM(img, output.Name()));
        IMG* back = IMGReadPNM(output.Name());
        for (int i = 0; i < img->width * img->height; ++i) img->pixels[i] &= 0xFFFFFF; // a file holds three bytes
        Require(back && IMGEqual(img, back));
        IMGFree(&back);
        IMGFree(&img);
    }
    return 0;
}
