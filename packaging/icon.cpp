// Makes a desktop icon from one of the show's pictures: the picture scaled with IMGScale (nearest
// neighbour, so the pixels stay crisp) to a square of the asked size, written as an RGBA PNG in
// which black, the show's transparent key, is transparent.
//
//   kelp_icon PICTURE.ppm SIZE OUTPUT.png
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "img/img.h"

namespace {

struct ImgDeleter {
    void operator()(IMG* img) const { IMGFree(&img); }
};
using Picture = std::unique_ptr<IMG, ImgDeleter>;

void Put32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xFF);
}

// Length, type, data and the CRC of type and data, as every PNG chunk is laid out.
void Chunk(std::string& png, const char* type, const std::string& data) {
    Put32(png, uint32_t(data.size()));
    const std::string body = type + data;
    png += body;
    Put32(png, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

int Fail(const char* what, const char* name) {
    std::fprintf(stderr, "kelp_icon: %s: %s\n", what, name);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: kelp_icon PICTURE.ppm SIZE OUTPUT.png\n");
        return 2;
    }
    const int size = std::atoi(argv[2]);
    if (size < 1 || size > 1024) return Fail("the size must be 1 to 1024", argv[2]);
    Picture source(IMGReadPNM(argv[1]));
    if (!source) return Fail("cannot read the picture", argv[1]);
    Picture icon(IMGNew());
    if (icon) IMGSetSize(icon.get(), size, size);
    if (!icon || icon->width != size || icon->height != size) return Fail("out of memory for", argv[3]);
    IMGScale(source.get(), icon.get());

    std::vector<unsigned char> rows; // each row: filter type 0, then R, G, B, A
    rows.reserve(size_t(size) * (1 + 4 * size_t(size)));
    for (int y = 0; y < size; ++y) {
        rows.push_back(0);
        for (int x = 0; x < size; ++x) {
            const uint32_t p = IMGGetPixel(icon.get(), x, y);
            rows.insert(rows.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p ? 255 : 0)});
        }
    }
    uLongf packedSize = compressBound(uLong(rows.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, rows.data(), uLong(rows.size()), 9) != Z_OK) {
        return Fail("cannot compress", argv[3]);
    }

    std::string header;
    Put32(header, uint32_t(size));
    Put32(header, uint32_t(size));
    header += std::string("\x08\x06\x00\x00\x00", 5); // 8 bits a sample, RGBA, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", std::string(reinterpret_cast<const char*>(packed.data()), packedSize));
    Chunk(png, "IEND", "");

    std::FILE* out = std::fopen(argv[3], "wb");
    if (!out) return Fail("cannot write", argv[3]);
    const bool written = std::fwrite(png.data(), 1, png.size(), out) == png.size();
    if (std::fclose(out) != 0 || !written) {
        std::remove(argv[3]);
        return Fail("cannot write", argv[3]);
    }
    return 0;
}
