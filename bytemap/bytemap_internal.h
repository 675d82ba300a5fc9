// Helpers shared by the files of the BYTEMAP module; not part of its public interface.
#pragma once
#include <cstddef>
#include <cstdint>

#include "bytemap/bytemap.h"
#include "raster/raster.h"

namespace bytemap_detail {

inline bool Usable(const BYTEMAP* map) { return map && map->data; }

inline size_t PixelCount(const BYTEMAP* map) { return sizes::CellsOf(map->width, map->height); }

// A new map of the given size, all 0, or null when the size cannot be held.
BYTEMAP* NewSized(int width, int height);

// The shared front of the rectangle transfers: refusals, then the clipped walk with `rule`.
template <typename Rule>
inline void BlitWith(const BYTEMAP* src, BYTEMAP* dst, int sx, int sy, int tx, int ty, int w, int h, Rule rule) {
    if (!Usable(src) || !Usable(dst)) {
        BYTEMAPError();
        return;
    }
    raster::Blit(src->data, src->width, src->height, dst->data, dst->width, dst->height, sx, sy, tx, ty, w, h, rule);
}

} // namespace bytemap_detail
