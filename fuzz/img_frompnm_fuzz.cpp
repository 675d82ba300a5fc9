// Any bytes through IMGFromPNMSize, which must read no further than their size (the sanitizer
// sees every byte beyond). Oracles: what it accepts, the unbounded IMGFromPNM reads the same from
// a zero-terminated copy; and the picture's text form holds a plain P3 image that the reader
// takes back to the same picture.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/harness.h"
#include "img/img.h"

using harness::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IMG* img = IMGFromPNMSize(data, size);
    if (!img) return 0;
    std::vector<unsigned char> terminated(data, data + size);
    terminated.push_back(0);
    IMG* unbounded = IMGFromPNM(terminated.data());
    Require(harness::Equal(img, unbounded));
    IMGFree(&unbounded);

    for (int i = 0; i < img->width * img->height; ++i) img->pixels[i] &= 0xFFFFFF; // what the text form holds
    char* text = IMGToASCII(img);
    Require(text != nullptr);
    IMG* back = IMGFromPNM(reinterpret_cast<const unsigned char*>(text) + 5); // behind "IMG{\n"
    Require(harness::Equal(img, back));
    IMGFree(&back);
    std::free(text);
    IMGFree(&img);
    return 0;
}
