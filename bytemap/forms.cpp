// The text form ("BYTEMAP{" around a plain P3 image, the grey value in all three samples) and
// the keyword search it is read with.
#include <array>
#include <cstdint>
#include <cstdlib>

#include "bytemap/bytemap.h"
#include "bytemap/bytemap_internal.h"
#include "raster/textform.h"

int BYTEMAPFind(const char* text, const char* keyword) {
    if (!text || !keyword) {
        BYTEMAPError();
        return 0;
    }
    return IMGFind(text, keyword); // the same search; only the refusal above is this module's
}

char* BYTEMAPToASCII(const BYTEMAP* map) {
    if (!bytemap_detail::Usable(map)) {
        BYTEMAPError();
        return nullptr;
    }
    const uint8_t* data = map->data;
    char* text = textform::Write("BYTEMAP", map->width, map->height,
                                 [data](size_t i) { return std::array<uint8_t, 3>{data[i], data[i], data[i]}; });
    if (!text) BYTEMAPError();
    return text;
}

BYTEMAP* BYTEMAPFromASCII(const char* text) {
    if (!text) {
        BYTEMAPError();
        return nullptr;
    }
    int width, height;
    const char* at = textform::ReadHeader(text, "BYTEMAP", BYTEMAPFind, width, height);
    BYTEMAP* map = at ? bytemap_detail::NewSized(width, height) : nullptr;
    if (!map) {
        BYTEMAPError();
        return nullptr;
    }
    const size_t n = bytemap_detail::PixelCount(map);
    for (size_t i = 0; i < n; ++i) {
        uint32_t r, g, b;
        // A text that ends before its last pixel is refused rather than passed off as a map.
        if (!textform::ReadSample(at, r) || !textform::ReadSample(at, g) || !textform::ReadSample(at, b)) {
            BYTEMAPFree(&map);
            BYTEMAPError();
            return nullptr;
        }
        map->data[i] = uint8_t((uint64_t(r) + g + b) / 3);
    }
    return map;
}
