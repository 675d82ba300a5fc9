// The text form ("IMG{" around a plain P3 image), equality and copies.
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "img/img_internal.h"
#include "raster/textform.h"

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
    const uint32_t* pixels = img->pixels;
    char* text = textform::Write("IMG", img->width, img->height, [pixels](size_t i) {
        const uint32_t p = pixels[i];
        return std::array<uint8_t, 3>{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
    });
    if (!text) IMGError();
    return text;
}

IMG* IMGFromASCII(const char* text) {
    if (!text) {
        IMGError();
        return nullptr;
    }
    int width, height;
    const char* at = textform::ReadHeader(text, "IMG", IMGFind, width, height);
    if (!at) {
        IMGError();
        return nullptr;
    }
    IMG* img = img_detail::NewSized(width, height);
    if (!img) return nullptr;
    const size_t n = img_detail::PixelCount(img);
    for (size_t i = 0; i < n; ++i) {
        uint32_t r, g, b;
        if (!textform::ReadSample(at, r) || !textform::ReadSample(at, g) || !textform::ReadSample(at, b)) {
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
    IMG* copy = img_detail::NewSized(img->width, img->height);
    if (!copy) return nullptr;
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
