// Zero-terminated texts through IMGFromASCII; what it accepts must survive the text form both
// ways unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "img/img.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size); // c_str() adds the zero
    IMG* img = IMGFromASCII(text.c_str());
    if (!img) return 0;
    // Samples above 255 have no place in the text form; keep what it can hold.
    for (int i = 0; i < img->width * img->height; ++i) img->pixels[i] &= 0xFFFFFF;
    char* again = IMGToASCII(img);
    if (img->width * img->height > 0) {
        IMG* back = IMGFromASCII(again);
        if (!back || !IMGEqual(img, back)) std::abort();
        IMGFree(&back);
    }
    std::free(again);
    IMGFree(&img);
    return 0;
}
