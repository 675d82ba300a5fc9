// The text form ("IMG{" around a plain P3 image), equality and copies.
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "img/img_internal.h"

namespace {

constexpr size_t kPixelChars = 12; // three samples of "%3d "

// "%3d " of every sample value, looked up instead of formatted per sample.
constexpr auto kSamples = [] {
    std::array<std::array<char, 4>, 256> table{};
    for (int v = 0; v < 256; ++v) {
        table[v] = {v >= 100 ? char('0' + v / 100) : ' ', v >= 10 ? char('0' + v / 10 % 10) : ' ', char('0' + v % 10),
                    ' '};
    }
    return table;
}();

// Reads a run of decimal digits; false when there is none or the value passes INT_MAX.
bool ReadCount(const char*& at, int& value) {
    if (*at < '0' || *at > '9') return false;
    int64_t v = 0;
    while (*at >= '0' && *at <= '9') {
        v = v * 10 + (*at++ - '0');
        if (v > INT_MAX) return false;
    }
    value = int(v);
    return true;
}

// Skips one character unless the text has ended there.
bool SkipOne(const char*& at) {
    if (!*at) return false;
    ++at;
    return true;
}

// Skips to the next digit and reads the number there, wrapping as samples are unchecked.
bool ReadSample(const char*& at, uint32_t& value) {
    while (*at < '0' || *at > '9')
        if (!*at++) return false;
    value = 0;
    while (*at >= '0' && *at <= '9') value = value * 10u + uint32_t(*at++ - '0');
    return true;
}

} // namespace

int IMGFind(const char* text, const char* marker) {
    if (!text || !marker) {
        IMGError();
        return 0;
    }
    if (!*marker) return 0;
    const char* found = std::strstr(text, marker);
    if (!found) return 0;
    const size_t end = size_t(found - text) + std::strlen(marker);
    return end > size_t(INT_MAX) ? 0 : int(end);
}

char* IMGToASCII(const IMG* img) {
    if (!img || !img->pixels) {
        IMGError();
        return nullptr;
    }
    const size_t n = img_detail::PixelCount(img);
    if (n == 0) {
        auto* text = static_cast<char*>(std::calloc(6, 1));
        if (text) std::memcpy(text, "IMG{}", 5);
        else IMGError();
        return text;
    }
    char header[64];
    const int headerLength = std::snprintf(header, sizeof header, "IMG{\nP3\n%d %d\n255\n", img->width, img->height);
    // The header, twelve characters a pixel (line feeds take the place of spaces), "}\n" and the end.
    auto* text = static_cast<char*>(std::calloc(size_t(headerLength) + n * kPixelChars + 3, 1));
    if (!text) {
        IMGError();
        return nullptr;
    }
    char* out = text;
    std::memcpy(out, header, size_t(headerLength));
    out += headerLength;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t p = img->pixels[i];
        std::memcpy(out, kSamples[(p >> 16) & 0xFF].data(), 4);
        std::memcpy(out + 4, kSamples[(p >> 8) & 0xFF].data(), 4);
        std::memcpy(out + 8, kSamples[p & 0xFF].data(), 4);
        out += kPixelChars;
        // Six pixels a line, and the last line ends with a line feed, never a space.
        if (i % 6 == 5 || i + 1 == n) out[-1] = '\n';
    }
    std::memcpy(out, "}\n", 2);
    return text;
}

IMG* IMGFromASCII(const char* text) {
    if (!text) {
        IMGError();
        return nullptr;
    }
    const char* at = text;
    for (const char* marker : {"IMG", "{", "P3\n"}) {
        const int past = IMGFind(at, marker);
        if (!past) {
            IMGError();
            return nullptr;
        }
        at += past;
    }
    int width, height;
    if (!ReadCount(at, width) || !SkipOne(at) || !ReadCount(at, height) || !SkipOne(at)) {
        IMGError();
        return nullptr;
    }
    while (*at >= '0' && *at <= '9') ++at; // the maximum value is read past and ignored
    SkipOne(at);
    const size_t n = size_t(width) * size_t(height);
    // Three samples a pixel, each a digit at least with a character between: a text too short
    // for the size it declares is refused before anything is allocated.
    if (n > size_t(INT_MAX) || (n && std::strlen(at) < 6 * n - 1)) {
        IMGError();
        return nullptr;
    }
    IMG* img = IMGNew();
    if (!img) return nullptr;
    IMGSetSize(img, width, height);
    if (img->width != width || img->height != height) {
        IMGFree(&img);
        return nullptr;
    }
    for (size_t i = 0; i < n; ++i) {
        uint32_t r, g, b;
        if (!ReadSample(at, r) || !ReadSample(at, g) || !ReadSample(at, b)) {
            IMGError();
            IMGFree(&img);
            return nullptr;
        }
        img->pixels[i] = r * 65536u + g * 256u + b;
    }
    return img;
}

bool IMGEqual(const IMG* a, const IMG* b) {
    if (!a || !b) {
        IMGError();
        return false;
    }
    if (a->width != b->width || a->height != b->height) return false;
    const size_t n = img_detail::PixelCount(a);
    if (n == 0 || a->pixels == b->pixels) return true;
    if (!a->pixels || !b->pixels) return false;
    return std::memcmp(a->pixels, b->pixels, n * sizeof(uint32_t)) == 0;
}

IMG* IMGCopy(const IMG* img) {
    if (!img || !img->pixels) {
        IMGError();
        return nullptr;
    }
    IMG* copy = IMGNew();
    if (!copy) return nullptr;
    IMGSetSize(copy, img->width, img->height);
    if (copy->width != img->width || copy->height != img->height) {
        IMGFree(&copy);
        return nullptr;
    }
    std::memcpy(copy->pixels, img->pixels, img_detail::PixelCount(img) * sizeof(uint32_t));
    return copy;
}

void IMGCopyPixels(const IMG* src, IMG* dst) {
    if (!src || !dst || !src->pixels || !dst->pixels || src->width != dst->width || src->height != dst->height) {
        IMGError();
        return;
    }
    std::memmove(dst->pixels, src->pixels, img_detail::PixelCount(src) * sizeof(uint32_t));
}
