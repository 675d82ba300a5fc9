// Zero-terminated texts through BYTEMAPFromASCII; what it accepts must survive the text form
// both ways unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bytemap/bytemap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size); // c_str() adds the zero
    BYTEMAP* map = BYTEMAPFromASCII(text.c_str());
    if (!map) return 0;
    char* again = BYTEMAPToASCII(map);
    if (!again) std::abort();
    if (map->width * map->height > 0) {
        BYTEMAP* back = BYTEMAPFromASCII(again);
        if (!back || !BYTEMAPEqual(map, back)) std::abort();
        BYTEMAPFree(&back);
    }
    std::free(again);
    BYTEMAPFree(&map);
    return 0;
}
