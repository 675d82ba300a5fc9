// Helpers shared by the files of the IMG module; not part of its public interface.
#pragma once
#include <cstddef>
#include <cstdint>

#include "img/img.h"
#include "raster/raster.h"
#include "support/sizes.h"

namespace img_detail {

// A new black picture of the given size, or null when the size cannot be held.
IMG* NewSized(int width, int height);

// Colour words keep their three channel bytes; the top byte of a saturated result is 0.
constexpr uint32_t kChannels = 0x00FFFFFFu;
using AddSat = raster::AddSaturate<uint32_t, kChannels>;
using SubSat = raster::SubSaturate<uint32_t, kChannels>;

inline size_t PixelCount(const IMG* img) { return sizes::CellsOf(img->width, img->height); }

// The shared front of every rectangle operation: refusals, then the clipped walk with `rule`.
template <typename Rule>
inline void BlitWith(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h, Rule rule) {
    if (!src || !dst || !src->pixels || !dst->pixels) {
        IMGError();
        return;
    }
    raster::Blit(src->pixels, src->width, src->height, dst->pixels, dst->width, dst->height, sx, sy, dx, dy, w, h,
                 rule);
}

} // namespace img_detail
