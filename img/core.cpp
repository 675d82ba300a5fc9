// The picture record and the operations every frame uses: sizing, pixel access, the
// transparent copy, the fade and the rectangle fill.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "img/img.h"
#include "img/img_internal.h"
#include "raster/raster.h"
#include "support/identity.h"

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("IMG", "20110520", "OrvilleK", "C++", "CODE");
unsigned char debug = 0;
} // namespace

void IMGError() {
    if (debug) std::printf("IMG error\n");
}

IMG* img_detail::NewSized(int width, int height) {
    IMG* img = IMGNew();
    if (!img) return nullptr;
    IMGSetSize(img, width, height);
    if (img->width != width || img->height != height) IMGFree(&img);
    return img;
}

IMG* IMGNew() {
    auto* img = static_cast<IMG*>(std::calloc(1, sizeof(IMG)));
    if (!img) {
        IMGError();
        return nullptr;
    }
    img->pixels = raster::AllocatePixels<uint32_t>(16, 16);
    if (!img->pixels) {
        std::free(img);
        IMGError();
        return nullptr;
    }
    img->width = 16;
    img->height = 16;
    return img;
}

void IMGFree(IMG** img) {
    if (!img || !*img) {
        IMGError();
        return;
    }
    std::free((*img)->pixels);
    std::free(*img);
    *img = nullptr;
}

void IMGSetSize(IMG* img, int width, int height) {
    if (!img) {
        IMGError();
        return;
    }
    // Allocate before letting go of the old array: a size that cannot be held (negative,
    // too many pixels, out of memory) is refused and the picture stays as it was.
    uint32_t* pixels = raster::AllocatePixels<uint32_t>(width, height);
    if (!pixels) {
        IMGError();
        return;
    }
    std::free(img->pixels);
    img->pixels = pixels;
    img->width = width;
    img->height = height;
}

void IMGClear(IMG* img) {
    if (!img || !img->pixels) {
        IMGError();
        return;
    }
    std::memset(img->pixels, 0, img_detail::PixelCount(img) * sizeof(uint32_t));
}

void IMGSetPixel(IMG* img, int x, int y, uint32_t colour) {
    if (!img || !img->pixels) {
        IMGError();
        return;
    }
    if (x < 0 || y < 0 || x >= img->width || y >= img->height) return;
    img->pixels[size_t(y) * size_t(img->width) + size_t(x)] = colour;
}

uint32_t IMGGetPixel(const IMG* img, int x, int y) {
    if (!img) {
        IMGError();
        return 0;
    }
    if (!img->pixels || x < 0 || y < 0 || x >= img->width || y >= img->height) return 0;
    return img->pixels[size_t(y) * size_t(img->width) + size_t(x)];
}

void IMGBlitTransparent(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
    img_detail::BlitWith(src, dst, sx, sy, dx, dy, w, h, [](uint32_t d, uint32_t s) { return s ? s : d; });
}

void IMGFade(IMG* img, uint32_t colour) {
    if (!img) {
        IMGError();
        return;
    }
    if (!img->pixels) return;
    // Each channel is subtracted in its own byte and stops at 0, so no channel borrows from
    // another; the unused top byte comes out 0.
    raster::MapChannels<img_detail::SubSat>(img->pixels, img_detail::PixelCount(img), colour);
}

void IMGFillRect(IMG* img, int x, int y, int w, int h, uint32_t colour) {
    // The fill never clips: anything not wholly inside is refused whole.
    if (!img || !img->pixels || !raster::Inside(img->width, img->height, x, y, w, h)) {
        IMGError();
        return;
    }
    raster::FillRect(img->pixels, img->width, x, y, w, h, colour);
}
