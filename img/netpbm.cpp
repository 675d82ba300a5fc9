// Netpbm pictures: all six kinds read from memory and from files, binary colour files written.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "img/img.h"
#include "img/img_internal.h"
#include "img/pnm.h"

namespace {

// Samples land as they are: colour as red << 16 | green << 8 | blue, grey in all three
// channels, and a set bit as white (the reverse of the usual bitmap reading).
struct PixelSink {
    uint32_t* pixels;
    void Colour(size_t i, uint32_t r, uint32_t g, uint32_t b) { pixels[i] = r * 65536u + g * 256u + b; }
    void Grey(size_t i, uint32_t v) { pixels[i] = v * 0x010101u; }
    void Bit(size_t i, bool set) { pixels[i] = set ? 0xFFFFFFu : 0u; }
};

// A black picture of the header's size, or null when it cannot be held.
IMG* NewPicture(const pnm::Header& header) {
    if (size_t(header.width) * size_t(header.height) > size_t(INT_MAX)) return nullptr;
    IMG* img = IMGNew();
    if (!img) return nullptr;
    IMGSetSize(img, header.width, header.height);
    if (img->width != header.width || img->height != header.height) IMGFree(&img);
    return img;
}

template <typename Source>
IMG* Decode(Source& in, const pnm::Header& header, bool singleDigitBits) {
    IMG* img = NewPicture(header);
    if (!img) {
        IMGError();
        return nullptr;
    }
    PixelSink sink{img->pixels};
    if (!pnm::ReadRaster(in, header, singleDigitBits, sink)) {
        // A raster that ends early is refused whole rather than passed off as a picture.
        IMGFree(&img);
        IMGError();
    }
    return img;
}

} // namespace

IMG* IMGFromPNM(const unsigned char* bytes) {
    if (!bytes) {
        IMGError();
        return nullptr;
    }
    pnm::MemorySource in(bytes);
    pnm::Header header;
    if (!pnm::ReadMemoryHeader(in, header, pnm::Grammar::kStrict)) {
        IMGError();
        return nullptr;
    }
    return Decode(in, header, true);
}

IMG* IMGReadPNM(const char* name) {
    if (!name) {
        IMGError();
        return nullptr;
    }
    FILE* file = std::fopen(name, "rb");
    if (!file) {
        IMGError();
        return nullptr;
    }
    pnm::FileSource in(file);
    pnm::Header header;
    IMG* img = nullptr;
    if (!pnm::ReadFileHeader(in, header, pnm::Grammar::kStrict)) {
        IMGError();
    } else {
        img = Decode(in, header, false);
    }
    std::fclose(file);
    return img;
}

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
