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
    if (!pnm::ReadHeader(in, header, pnm::NumberEnd::kKept)) {
        IMGError();
        return nullptr;
    }
    // In memory a bitmap row is whole bytes: the padding bits become extra columns.
    if (header.kind == 4) {
        const int64_t rounded = (int64_t(header.width) + 7) / 8 * 8;
        if (rounded > INT_MAX) {
            IMGError();
            return nullptr;
        }
        header.width = int(rounded);
    }
    // Text rasters end at the terminating zero: one too short for its size is refused before
    // the picture is allocated. Binary rasters are taken by count.
    if (pnm::IsText(header.kind)) {
        const size_t needed = pnm::MinimumRasterBytes(header, true);
        if (in.TextAvailable(needed) < needed) {
            IMGError();
            return nullptr;
        }
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
    if (!pnm::ReadHeader(in, header, pnm::NumberEnd::kConsumed) ||
        in.Remaining() < pnm::MinimumRasterBytes(header, false)) {
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
    const size_t rowBytes = size_t(img->width) * 3;
    auto* row = static_cast<unsigned char*>(std::malloc(rowBytes));
    FILE* file = row ? std::fopen(name, "wb") : nullptr;
    if (!file) {
        std::free(row);
        IMGError();
        return false;
    }
    bool written = std::fprintf(file, "P6\n%d %d\n255\n", img->width, img->height) > 0;
    for (int y = 0; written && y < img->height; ++y) {
        const uint32_t* p = img->pixels + size_t(y) * size_t(img->width);
        for (size_t x = 0; x < size_t(img->width); ++x) {
            row[3 * x] = uint8_t(p[x] >> 16);
            row[3 * x + 1] = uint8_t(p[x] >> 8);
            row[3 * x + 2] = uint8_t(p[x]);
        }
        written = std::fwrite(row, 1, rowBytes, file) == rowBytes;
    }
    std::free(row);
    // A full disk shows only when the buffered bytes are flushed at the close.
    if (std::fclose(file) != 0) written = false;
    if (!written) IMGError();
    return written;
}
