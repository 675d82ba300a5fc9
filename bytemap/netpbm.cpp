// Netpbm pictures of all six kinds read into grey maps, from memory and from files, and binary
// grey files written.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "bytemap/bytemap.h"
#include "bytemap/bytemap_internal.h"
#include "raster/pnm.h"

namespace {

// One grey byte a pixel: colour as the mean of its three samples, a set bit as 255 (bright,
// the reverse of the usual bitmap reading), and no sample rescaled by the maximum value.
struct GreySink {
    uint8_t* data;
    void Colour(size_t i, uint32_t r, uint32_t g, uint32_t b) { data[i] = uint8_t((uint64_t(r) + g + b) / 3); }
    void Grey(size_t i, uint32_t v) { data[i] = uint8_t(v); }
    void Bit(size_t i, bool set) { data[i] = set ? 255 : 0; }
};

// What the shared readers need of the grey-map module.
struct Maps {
    using Record = BYTEMAP;
    using Pixel = uint8_t;
    using Sink = GreySink;
    static BYTEMAP* Make(int width, int height) { return bytemap_detail::NewSized(width, height); }
    static BYTEMAP* Adopt(int width, int height, uint8_t* data) {
        BYTEMAP* map = BYTEMAPNew();
        if (!map) return nullptr;
        std::free(map->data);
        map->data = data;
        map->width = width;
        map->height = height;
        return map;
    }
    static uint8_t* PixelsOf(BYTEMAP* map) { return map->data; }
    static void Release(BYTEMAP* map) { BYTEMAPFree(&map); }
    static void Error() { BYTEMAPError(); }
};

} // namespace

BYTEMAP* BYTEMAPFromPNMSize(const unsigned char* bytes, size_t size) {
    return pnm::ReadMemory<Maps>(bytes, size, pnm::Grammar::kLenient);
}

BYTEMAP* BYTEMAPFromPNM(const unsigned char* bytes) { return BYTEMAPFromPNMSize(bytes, SIZE_MAX); }

// A plain bitmap pixel is one digit, as the format has it and the Netpbm tools write it ("0101"),
// in files as in memory.
BYTEMAP* BYTEMAPReadPNM(const char* name) { return pnm::ReadFile<Maps>(name, pnm::Grammar::kLenient); }

int BYTEMAPWritePGM(const BYTEMAP* map, const char* name) {
    if (!bytemap_detail::Usable(map) || !name || map->width <= 0 || map->height <= 0) {
        BYTEMAPError();
        return 0;
    }
    const uint8_t* data = map->data;
    const size_t width = size_t(map->width);
    const bool written = pnm::WriteFile(name, "P5", map->width, map->height, width, false,
                                        [data, width](int y, unsigned char*) { return data + size_t(y) * width; });
    if (!written) BYTEMAPError();
    return written;
}
