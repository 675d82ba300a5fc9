// Zero-terminated texts through IMGFromASCII. Oracles: what it accepts survives the text form
// both ways unchanged; and where the P3 image inside has a header the Netpbm reader reads the
// same way, that reader gives the same picture.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/harness.h"
#include "img/img.h"

using harness::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size); // c_str() adds the zero
    IMG* img = IMGFromASCII(text.c_str());
    if (!img) return 0;
    if (img->width * img->height > 0) {
        if (const char* body = harness::NetpbmBody(text.c_str(), "IMG")) {
            IMG* netpbm = IMGFromPNMSize(reinterpret_cast<const unsigned char*>(body), std::strlen(body));
            Require(harness::Equal(img, netpbm));
            IMGFree(&netpbm);
        }
    }
    // Samples above 255 have no place in the text form; keep what it can hold.
    for (int i = 0; i < img->width * img->height; ++i) img->pixels[i] &= 0xFFFFFF;
    char* again = IMGToASCII(img);
    Require(again != nullptr);
    if (img->width * img->height > 0) {
        IMG* back = IMGFromASCII(again);
        Require(harness::Equal(img, back));
        IMGFree(&back);
    }
    std::free(again);
    IMGFree(&img);
    return 0;
}
