// Small helpers for the picture tests: owned pictures made from pixel lists and read back.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "img/img.h"

struct PictureDeleter {
    void operator()(IMG* img) const { IMGFree(&img); }
};
using Picture = std::unique_ptr<IMG, PictureDeleter>;

inline Picture MakePicture(int width, int height, const std::vector<uint32_t>& pixels = {}) {
    Picture img(IMGNew());
    IMGSetSize(img.get(), width, height);
    for (size_t i = 0; i < pixels.size(); ++i) img->pixels[i] = pixels[i];
    return img;
}

// A picture whose pixel i holds first + i: every pixel distinct and (from first = 1) nonzero.
inline Picture Numbered(int width, int height, uint32_t first = 0) {
    Picture img = MakePicture(width, height);
    for (int i = 0; i < width * height; ++i) img->pixels[i] = first + uint32_t(i);
    return img;
}

inline std::vector<uint32_t> Pixels(const IMG* img) {
    return std::vector<uint32_t>(img->pixels, img->pixels + size_t(img->width) * size_t(img->height));
}

// The pseudo-random pictures of the property tests: reproducible, all channel values.
inline void FillRandom(IMG* img, uint32_t seed) {
    uint32_t state = seed;
    for (int i = 0; i < img->width * img->height; ++i) {
        state = state * 1664525u + 1013904223u;
        img->pixels[i] = state >> 4;
    }
}
