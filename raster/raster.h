// Pixel-type-generic building blocks shared by the picture and grey-map modules: the one
// clipping rule of every rectangle operation and the clipped walk that applies a per-pixel
// rule, run tables and nearest-neighbour scaling, rotation and circles from the sine table,
// wrap-around line copies, spaced copies and line points. The modules' functions are thin
// instantiations of these, so both pixel types share one copy of each algorithm.
#pragma once
#include <algorithm>
#include <array>
#include <climits>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "data/sine.h"
#include "support/sizes.h"

namespace raster {

struct Span {
    int sx, sy, dx, dy, w, h;
};

// A zero-filled store for width x height pixels, or null when the size is negative, does not
// fit the modules' int pixel indexes, or cannot be allocated. One pixel even for an empty
// picture, so a sized picture always has a store.
template <typename Pixel>
Pixel* AllocatePixels(int width, int height) {
    size_t count = 0;
    if (!sizes::Cells(width, height, count)) return nullptr;
    return static_cast<Pixel*>(std::calloc(count ? count : 1, sizeof(Pixel)));
}

// Clips a copy of a w x h rectangle from (sx, sy) of a source to (dx, dy) of a destination,
// first against the source, then against the destination, keeping both corners in register.
// False when nothing is left to draw. Computed in 64 bits so extreme arguments cannot overflow.
inline bool Clip(int srcWidth, int srcHeight, int dstWidth, int dstHeight, int sx0, int sy0, int dx0, int dy0,
                 int w0, int h0, Span& out) {
    int64_t sx = sx0, sy = sy0, dx = dx0, dy = dy0, w = w0, h = h0;
    if (dx >= dstWidth || dx + w < 0 || dy >= dstHeight || dy + h < 0) return false;
    if (sx >= srcWidth || sx + w < 0 || sy >= srcHeight || sy + h < 0) return false;
    if (sx < 0) { w += sx; dx -= sx; sx = 0; }
    if (sy < 0) { h += sy; dy -= sy; sy = 0; }
    if (sx + w > srcWidth) w = srcWidth - sx;
    if (sy + h > srcHeight) h = srcHeight - sy;
    if (dx < 0) { w += dx; sx -= dx; dx = 0; }
    if (dy < 0) { h += dy; sy -= dy; dy = 0; }
    if (dx + w > dstWidth) w = dstWidth - dx;
    if (dy + h > dstHeight) h = dstHeight - dy;
    if (w <= 0 || h <= 0) return false;
    out = Span{int(sx), int(sy), int(dx), int(dy), int(w), int(h)};
    return true;
}

// True when a w x h rectangle at (x, y) lies wholly inside a width x height picture and is not
// empty: the test of every operation that refuses instead of clipping.
inline bool Inside(int width, int height, int x, int y, int w, int h) {
    return x >= 0 && y >= 0 && x < width && y < height && w > 0 && h > 0 && int64_t(x) + w <= width &&
           int64_t(y) + h <= height;
}

// Fills the w x h rectangle at (x, y), which the caller has checked or clipped to the picture.
template <typename Pixel>
void FillRect(Pixel* pixels, int width, int x, int y, int w, int h, Pixel v) {
    for (int r = 0; r < h; ++r) std::fill_n(pixels + size_t(y + r) * size_t(width) + size_t(x), w, v);
}

// The one-pixel outline of the w x h rectangle at (x, y), which lies wholly inside the picture.
template <typename Pixel>
void DrawRect(Pixel* pixels, int width, int x, int y, int w, int h, Pixel v) {
    Pixel* top = pixels + size_t(y) * size_t(width) + size_t(x);
    std::fill_n(top, w, v);
    std::fill_n(top + size_t(h - 1) * size_t(width), w, v);
    for (int r = 0; r < h; ++r) {
        top[size_t(r) * size_t(width)] = v;
        top[size_t(r) * size_t(width) + size_t(w - 1)] = v;
    }
}

// Rules come in two kinds. A pixel rule is a callable d = rule(d, s) on whole pixels. A channel
// rule works byte by byte, every byte of a pixel being one channel: it names the byte operation
// (static uint8_t Byte(uint8_t d, uint8_t s)) and the channels it keeps (kKeep, a pixel whose
// cleared bytes come out 0, such as the unused top byte of a colour word). Channel rules run on
// the bytes of a row in fixed groups, which the compiler turns into whole-register byte
// arithmetic; that is what keeps the saturating blits and the fade near memory speed.
template <typename Rule>
concept ChannelRule = requires(uint8_t a) {
    { Rule::Byte(a, a) } -> std::convertible_to<uint8_t>;
    Rule::kKeep;
};

namespace detail {

// The bytes of a pixel. Read through the compilers' bit-cast builtin: std::bit_cast is missing
// from some standard libraries this builds with.
template <typename Pixel>
using ByteArray = std::array<uint8_t, sizeof(Pixel)>;

constexpr size_t kGroup = 32; // bytes a group: two SSE registers (GCC 12 leaves a group of 16 scalar)

template <typename Pixel>
constexpr std::array<uint8_t, kGroup> KeepPattern(Pixel keep) {
    const auto bytes = __builtin_bit_cast(ByteArray<Pixel>, keep);
    std::array<uint8_t, kGroup> pattern{};
    for (size_t i = 0; i < kGroup; ++i) pattern[i] = bytes[i % sizeof(Pixel)];
    return pattern;
}

// One pixel through a channel rule, reading both operands before writing, so it is exact for
// any overlap.
template <typename Rule, typename Pixel>
inline Pixel ChannelPixel(Pixel d, Pixel s) {
    std::array<uint8_t, sizeof(Pixel)> db, sb;
    std::memcpy(db.data(), &d, sizeof(Pixel));
    std::memcpy(sb.data(), &s, sizeof(Pixel));
    const auto keep = __builtin_bit_cast(ByteArray<Pixel>, Pixel(Rule::kKeep));
    for (size_t i = 0; i < sizeof(Pixel); ++i) db[i] = uint8_t(Rule::Byte(db[i], sb[i]) & keep[i]);
    std::memcpy(&d, db.data(), sizeof(Pixel));
    return d;
}

// The fast row of a channel rule: d and s do not overlap. Whole groups go through the byte
// loop; the pixels of a short tail one at a time.
template <typename Rule, typename Pixel>
inline void ChannelRow(Pixel* __restrict d, const Pixel* __restrict s, size_t count) {
    static_assert(kGroup % sizeof(Pixel) == 0);
    static constexpr auto keep = KeepPattern<Pixel>(Pixel(Rule::kKeep));
    constexpr size_t perGroup = kGroup / sizeof(Pixel);
    const size_t groups = count / perGroup;
    auto* db = reinterpret_cast<uint8_t*>(d);
    const auto* sb = reinterpret_cast<const uint8_t*>(s);
    for (size_t g = 0; g < groups; ++g) {
        uint8_t* __restrict o = db + g * kGroup;
        const uint8_t* __restrict i = sb + g * kGroup;
        for (size_t b = 0; b < kGroup; ++b) o[b] = uint8_t(Rule::Byte(o[b], i[b]) & keep[b]);
    }
    for (size_t c = groups * perGroup; c < count; ++c) d[c] = ChannelPixel<Rule>(d[c], s[c]);
}

template <typename Pixel, typename Rule>
inline void PixelRow(Pixel* __restrict d, const Pixel* __restrict s, size_t count, Rule& rule) {
    for (size_t c = 0; c < count; ++c) d[c] = rule(d[c], s[c]);
}

template <typename Pixel>
inline bool Disjoint(const Pixel* a, const Pixel* b, size_t count) {
    const auto x = reinterpret_cast<uintptr_t>(a), y = reinterpret_cast<uintptr_t>(b);
    const uintptr_t bytes = count * sizeof(Pixel);
    return x + bytes <= y || y + bytes <= x;
}

} // namespace detail

// The clipped walk: for every pixel of the clipped rectangle, d = rule(d, s), rows from the top
// and pixels from the left. Rows that do not overlap (two pictures, or distinct rows of one) take
// the vectorised row; a row that overlaps itself keeps the pixel-by-pixel order exactly.
template <typename Pixel, typename Rule>
inline void Blit(const Pixel* src, int srcWidth, int srcHeight, Pixel* dst, int dstWidth, int dstHeight, int sx,
                 int sy, int dx, int dy, int w, int h, [[maybe_unused]] Rule rule) {
    Span span;
    if (!Clip(srcWidth, srcHeight, dstWidth, dstHeight, sx, sy, dx, dy, w, h, span)) return;
    const size_t count = size_t(span.w);
    for (int r = 0; r < span.h; ++r) {
        const Pixel* s = src + size_t(span.sy + r) * size_t(srcWidth) + size_t(span.sx);
        Pixel* d = dst + size_t(span.dy + r) * size_t(dstWidth) + size_t(span.dx);
        const bool disjoint = detail::Disjoint(s, d, count);
        if constexpr (ChannelRule<Rule>) {
            if (disjoint) {
                detail::ChannelRow<Rule>(d, s, count);
            } else {
                for (size_t c = 0; c < count; ++c) d[c] = detail::ChannelPixel<Rule>(d[c], s[c]);
            }
        } else {
            if (disjoint) {
                detail::PixelRow(d, s, count, rule);
            } else {
                for (size_t c = 0; c < count; ++c) d[c] = rule(d[c], s[c]);
            }
        }
    }
}

// Every pixel of an array through a channel rule against one constant pixel k (a fade is the
// saturating subtraction of k from every pixel).
template <typename Rule, typename Pixel>
inline void MapChannels(Pixel* pixels, size_t count, Pixel k) {
    static constexpr auto keep = detail::KeepPattern<Pixel>(Pixel(Rule::kKeep));
    const auto kb = detail::KeepPattern<Pixel>(k);
    constexpr size_t perGroup = detail::kGroup / sizeof(Pixel);
    const size_t groups = count / perGroup;
    auto* bytes = reinterpret_cast<uint8_t*>(pixels);
    for (size_t g = 0; g < groups; ++g) {
        uint8_t* o = bytes + g * detail::kGroup;
        for (size_t b = 0; b < detail::kGroup; ++b) o[b] = uint8_t(Rule::Byte(o[b], kb[b]) & keep[b]);
    }
    for (size_t c = groups * perGroup; c < count; ++c) pixels[c] = detail::ChannelPixel<Rule>(pixels[c], k);
}

// Channel rules shared by both pixel types.
template <typename Pixel, Pixel Keep>
struct AddSaturate {
    static constexpr Pixel kKeep = Keep;
    static uint8_t Byte(uint8_t d, uint8_t s) {
        const uint8_t room = uint8_t(255 - d);
        return uint8_t(d + (s < room ? s : room));
    }
};
template <typename Pixel, Pixel Keep>
struct SubSaturate {
    static constexpr Pixel kKeep = Keep;
    static uint8_t Byte(uint8_t d, uint8_t s) { return uint8_t((d > s ? d : s) - s); }
};

// Run table of two lengths (signs dropped): S + 1 counts, S the smaller and L the larger, that
// spread L + 1 steps over S + 1 runs, larger runs first; the first S add up to L and the last
// is 1. Null when L + 1 does not fit an int or memory runs out. The caller frees it.
int* Spread(int a, int b);

// Symmetric run table of the two lengths: S counts filled from both ends, larger counts at
// both ends. Null when a count would not fit an int or memory runs out. The caller frees it.
int* SpreadEnds(int a, int b);

// The points of the line from (x0, y0) to (x1, y1), both ends included: element 0 holds twice
// the number of points, then the points as x, y pairs. Null when the list would not fit an int
// count or memory runs out. The caller frees it.
int* LinePoints(int x0, int y0, int x1, int y1);

namespace detail {

// Whole rows at a fixed factor: every source pixel K times side by side, or the last of every K
// source pixels. K known at compile time lets the compiler turn both into vector shuffles.
template <int K, typename Pixel>
void RepeatRow(const Pixel* __restrict s, int sw, Pixel* __restrict d) {
    for (int x = 0; x < sw; ++x)
        for (int j = 0; j < K; ++j) d[x * K + j] = s[x];
}
template <int K, typename Pixel>
void PickRow(const Pixel* __restrict s, int dw, Pixel* __restrict d) {
    for (int x = 0; x < dw; ++x) d[x] = s[x * K + (K - 1)];
}

// The horizontal half of the scaler, the same for every row: a source row of sw pixels into a
// destination row of dw along the column runs cx. Widening repeats source pixel x cx[x] times;
// narrowing keeps the last source pixel of each run. Equal widths and whole factors of 2 to 4
// take dedicated loops; the rest a branch-free walk of the runs.
template <typename Pixel>
class RowResampler {
public:
    RowResampler(int sw, int dw, const int* cx) : sw_(sw), dw_(dw), cx_(cx) {
        const int runs = std::min(sw, dw);
        minRun_ = maxRun_ = cx[0];
        for (int i = 1; i < runs; ++i) {
            minRun_ = std::min(minRun_, cx[i]);
            maxRun_ = std::max(maxRun_, cx[i]);
        }
    }

    void operator()(const Pixel* s, Pixel* d) const {
        if (sw_ == dw_) {
            std::memmove(d, s, size_t(dw_) * sizeof(Pixel)); // a picture may be scaled onto itself
        } else if (dw_ > sw_) {
            Widen(s, d);
        } else {
            Narrow(s, d);
        }
    }

private:
    // Byte-sized pixels may alias anything, so the walks read the runs through locals and
    // restrict-qualified pointers, or every store would force the runs to be read again.
    void Widen(const Pixel* __restrict s, Pixel* __restrict d) const {
        const int sw = sw_, minRun = minRun_, maxRun = maxRun_;
        const int* __restrict cx = cx_;
        if (minRun == maxRun) {
            switch (maxRun) {
            case 2: return RepeatRow<2>(s, sw, d);
            case 3: return RepeatRow<3>(s, sw, d);
            case 4: return RepeatRow<4>(s, sw, d);
            default: break;
            }
        }
        if (maxRun <= 2 * minRun) {
            switch (maxRun) {
            case 2: return SpillRow<2>(s, sw, cx, d);
            case 3: return SpillRow<3>(s, sw, cx, d);
            case 4: return SpillRow<4>(s, sw, cx, d);
            default: break;
            }
        }
        ptrdiff_t at = 0;
        for (int x = 0; x < sw; ++x) {
            const Pixel v = s[x];
            for (int k = 0; k < cx[x]; ++k) d[at + k] = v;
            at += cx[x];
        }
    }

    // Runs of K or fewer, none shorter than K / 2: every pixel but the last writes K copies
    // whatever its own run, the surplus landing on the start of the next run, which overwrites
    // it. A fixed count of stores, where branching on the run lengths would be mispredicted.
    template <int K>
    static void SpillRow(const Pixel* __restrict s, int sw, const int* __restrict cx, Pixel* __restrict d) {
        ptrdiff_t at = 0;
        for (int x = 0; x + 1 < sw; ++x) {
            const Pixel v = s[x];
            for (int k = 0; k < K; ++k) d[at + k] = v;
            at += cx[x];
        }
        for (int k = 0; k < cx[sw - 1]; ++k) d[at + k] = s[sw - 1];
    }

    void Narrow(const Pixel* __restrict s, Pixel* __restrict d) const {
        const int dw = dw_;
        const int* __restrict cx = cx_;
        if (minRun_ == maxRun_) {
            switch (maxRun_) {
            case 2: return PickRow<2>(s, dw, d);
            case 3: return PickRow<3>(s, dw, d);
            case 4: return PickRow<4>(s, dw, d);
            default: break;
            }
        }
        ptrdiff_t at = -1;
        for (int x = 0; x < dw; ++x) {
            at += cx[x];
            d[x] = s[at];
        }
    }

    int sw_, dw_;
    const int* cx_;
    int minRun_, maxRun_;
};

} // namespace detail

// Nearest-neighbour resampling of the whole source into the whole destination along the run
// tables cx = Spread(dw, sw) and cy = Spread(dh, sh). Every destination pixel is a copy of one
// source pixel; widening repeats pixels, narrowing keeps the last of each run (the first row of
// each run when only the height shrinks). Each destination row that differs from the one above
// is resampled once; a repeated row is a plain copy. Both pictures must have at least one pixel.
template <typename Pixel>
void Scale(const Pixel* src, int sw, int sh, Pixel* dst, int dw, int dh, const int* cx, const int* cy) {
    const detail::RowResampler<Pixel> resample(sw, dw, cx);
    const size_t sW = size_t(sw), dW = size_t(dw);
    if (dh >= sh) {
        Pixel* d = dst;
        for (int y = 0; y < sh; ++y) {
            resample(src + size_t(y) * sW, d);
            for (int k = 1; k < cy[y]; ++k) std::copy_n(d, dW, d + size_t(k) * dW);
            d += size_t(cy[y]) * dW;
        }
    } else {
        size_t first = 0; // the first source row of row run y
        for (int y = 0; y < dh; ++y) {
            const size_t row = dw >= sw ? first : first + size_t(cy[y]) - 1;
            resample(src + row * sW, dst + size_t(y) * dW);
            first += size_t(cy[y]);
        }
    }
}

// Scale with run tables of its own. A source without pixels, or a destination without room,
// is left alone (the walks need a pixel on both sides); false only when the tables cannot be
// made.
template <typename Pixel>
bool ScaleWhole(const Pixel* src, int sw, int sh, Pixel* dst, int dw, int dh) {
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return true;
    int* columns = Spread(dw, sw);
    int* rows = Spread(dh, sh);
    const bool made = columns && rows;
    if (made) Scale(src, sw, sh, dst, dw, dh, columns, rows);
    std::free(columns);
    std::free(rows);
    return made;
}

// The source turned about its centre into a destination of its own size (the callers make it
// about 1.414 times the source in each direction). The table's cosine is negative at angle 0,
// so angle 0 shows the source turned by half a turn. Products are shifted one by one, as the
// fixed-point rule of the system has it; 64 bits keep them exact for any size.
template <typename Pixel>
void Rotate(const Pixel* src, int sw, int sh, Pixel* dst, int dw, int dh, int angle) {
    const int64_t s = SINEAt(-int64_t(angle)), c = SINEAt(-int64_t(angle) - SINEQuarter);
    const int64_t scx = sw / 2, scy = sh / 2, rcx = dw / 2, rcy = dh / 2;
    Pixel* out = dst;
    for (int64_t y = 0; y < dh; ++y) {
        const int64_t Y = y - rcy, ys = (Y * s) >> 15, yc = (Y * c) >> 15;
        for (int64_t x = 0; x < dw; ++x) {
            const int64_t X = x - rcx;
            const int64_t u = scx + ((X * c) >> 15) - ys, v = scy + ((X * s) >> 15) + yc;
            *out++ = (src && u >= 0 && v >= 0 && u < sw && v < sh) ? src[v * sw + u] : Pixel(0);
        }
    }
}

// Circle outline of radius r about (cx, cy) from a quarter turn of the sine table, four plots a
// step; the right half lands one column left of the left half's mirror image. plot(x, y)
// receives 64-bit coordinates and drops what lies outside its picture.
template <typename Plot>
void Circle(int cx, int cy, int r, Plot plot) {
    for (int k = 0; k < SINEQuarter; ++k) {
        const int64_t dy = (int64_t(SINEAt(k)) * r) >> 15, dx = (int64_t(SINEAt(k + SINEQuarter)) * r) >> 15;
        plot(cx + dx - 1, cy + dy);
        plot(cx - dx, cy + dy);
        plot(cx + dx - 1, cy - dy);
        plot(cx - dx, cy - dy);
    }
}

// Lays a line of sCount source pixels (every sStep-th) into a line of dCount destination pixels
// (every dStep-th) from position offset on, wrapping to position 0; d = rule(d, s) in order.
// Source pixels beyond the destination's length are dropped. dCount must be positive.
template <typename Pixel, typename Rule>
void WrapLine(const Pixel* src, ptrdiff_t sStep, int sCount, Pixel* dst, ptrdiff_t dStep, int dCount, int offset,
              Rule rule) {
    int at = offset % dCount;
    if (at < 0) at += dCount;
    const int n = std::min(sCount, dCount);
    for (int i = 0; i < n; ++i) {
        Pixel& d = dst[ptrdiff_t(at) * dStep];
        d = rule(d, src[ptrdiff_t(i) * sStep]);
        if (++at == dCount) at = 0;
    }
}

namespace detail {
inline int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
inline int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }
} // namespace detail

// Copies the w x h rectangle at (sx, sy) of the source so that source pixel (sx + i, sy + j)
// lands at (dx + i * stepX, dy + j * stepY), skipping source zeros and whatever falls outside
// either picture. Rows from the top, pixels from the left. Steps must be at least 1; only the
// index ranges that land inside both pictures are visited, so huge sizes cost nothing.
template <typename Pixel>
void Spaced(const Pixel* src, int sw, int sh, Pixel* dst, int dw, int dh, int sx, int sy, int dx, int dy, int w,
            int h, int stepX, int stepY) {
    using detail::CeilDiv;
    using detail::FloorDiv;
    const int64_t i0 = std::max({int64_t(0), -int64_t(sx), CeilDiv(-int64_t(dx), stepX)});
    const int64_t i1 = std::min({int64_t(w) - 1, int64_t(sw) - 1 - sx, FloorDiv(int64_t(dw) - 1 - dx, stepX)});
    const int64_t j0 = std::max({int64_t(0), -int64_t(sy), CeilDiv(-int64_t(dy), stepY)});
    const int64_t j1 = std::min({int64_t(h) - 1, int64_t(sh) - 1 - sy, FloorDiv(int64_t(dh) - 1 - dy, stepY)});
    for (int64_t j = j0; j <= j1; ++j) {
        const Pixel* s = src + (sy + j) * sw + sx;
        Pixel* d = dst + (dy + j * stepY) * dw + dx;
        for (int64_t i = i0; i <= i1; ++i)
            if (s[i] != 0) d[i * stepX] = s[i];
    }
}

} // namespace raster
