// Netpbm pictures: all six kinds read from memory and from files, binary colour files written.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "img/img.h"
#include "img/img_internal.h"
#include "raster/pnm.h"

namespace {

// Samples land as they are: colour as red << 16 | green << 8 | blue, grey in all three
// channels, and a set bit as white (the reverse of the usual bitmap reading).
struct PixelSink {
    uint32_t* pixels;
    void Colour(size_t i, uint32_t r, uint32_t g, uint32_t b) { pixels[i] = r * 65536u + g * 256u + b; }
    void Grey(size_t i, uint32_t v) { pixels[i] = v * 0x010101u; }
    void Bit(size_t i, bool set) { pixels[i] = set ? 0xFFFFFFu : 0u; }
};

// What the shared readers need of the picture module.
struct Pictures {
    using Record = IMG;
    using Pixel = uint32_t;
    using Sink = PixelSink;
    // A black picture of the size, or null when it cannot be held.
    static IMG* Make(int width, int height) { return img_detail::NewSized(width, height); }
    static IMG* Adopt(int width, int height, uint32_t* pixels) {
        IMG* img = IMGNew();
        if (!img) return nullptr;
        std::free(img->pixels);
        img->pixels = pixels;
        img->width = width;
        img->height = height;
        return img;
    }
    static uint32_t* PixelsOf(IMG* img) { return img->pixels; }
    static void Release(IMG* img) { IMGFree(&img); }
    static void Error() { IMGError(); }
};

} // namespace

IMG* IMGFromPNMSize(const unsigned char* bytes, size_t size) {
    return pnm::ReadMemory<Pictures>(bytes, size, pnm::Grammar::kStrict);
}

IMG* IMGFromPNM(const unsigned char* bytes) { return IMGFromPNMSize(bytes, SIZE_MAX); }

// Plain bitmap pixels are single digits, as the Netpbm tools write them ("0101"), the same as
// from memory.
IMG* IMGReadPNM(const char* name) { return pnm::ReadFile<Pictures>(name, pnm::Grammar::kStrict); }

bool IMGWritePPM(const IMG* img, const char* name) {
    if (!img || !img->pixels || !name || img->width <= 0 || img->height <= 0) {
        IMGError();
        return false;
    }
    const uint32_t* pixels = img->pixels;
    const size_t width = size_t(img->width);
    const bool written = pnm::WriteFile(name, "P6", img->width, img->height, width * 3, true,
                                        [pixels, width](int y, unsigned char* row) {
                                            const uint32_t* p = pixels + size_t(y) * width;
                                            for (size_t x = 0; x < width; ++x) {
                                                row[3 * x] = uint8_t(p[x] >> 16);
                                                row[3 * x + 1] = uint8_t(p[x] >> 8);
                                                row[3 * x + 2] = uint8_t(p[x]);
                                            }
                                            return row;
                                        });
    if (!written) IMGError();
    return written;
}
