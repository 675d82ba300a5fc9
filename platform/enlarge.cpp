#include "platform/enlarge.h"

#include <algorithm>
#include <cstring>

namespace {
// One row of pixels of type T, each repeated K times (K = 0: `k` times, known only at run time).
// Rows of any pitch may leave the pixels unaligned: they are moved by memcpy, which the
// compiler turns into plain loads and stores.
template <typename T, int K>
void Row(const uint8_t* from, int w, uint8_t* to, int k) {
    const int times = K ? K : k;
    for (int x = 0; x < w; ++x) {
        T v;
        std::memcpy(&v, from + sizeof(T) * size_t(x), sizeof(T));
        for (int j = 0; j < times; ++j) std::memcpy(to + sizeof(T) * (size_t(x) * times + j), &v, sizeof(T));
    }
}

// Three-byte pixels have no type of their size: byte by byte.
void Row3(const uint8_t* from, int w, uint8_t* to, int k) {
    for (int x = 0; x < w; ++x) {
        for (int j = 0; j < k; ++j) std::memcpy(to + 3 * (size_t(x) * k + j), from + 3 * size_t(x), 3);
    }
}

using RowFunction = void (*)(const uint8_t*, int, uint8_t*, int);

// The common factors get loops the compiler can unroll and vectorise.
template <typename T>
RowFunction RowFor(int k) {
    switch (k) {
    case 2:
        return Row<T, 2>;
    case 3:
        return Row<T, 3>;
    case 4:
        return Row<T, 4>;
    default:
        return Row<T, 0>;
    }
}
} // namespace

void PlatformEnlarge(const uint8_t* from, int fromPitch, int w, int h, int bytes, uint8_t* to, int toPitch, int k) {
    if (!from || !to || w <= 0 || h <= 0 || k <= 0) return;
    RowFunction row = nullptr;
    switch (bytes) {
    case 1:
        row = RowFor<uint8_t>(k);
        break;
    case 2:
        row = RowFor<uint16_t>(k);
        break;
    case 3:
        row = Row3;
        break;
    case 4:
        row = RowFor<uint32_t>(k);
        break;
    default:
        return;
    }
    const size_t rowBytes = size_t(w) * size_t(k) * size_t(bytes);
    for (int y = 0; y < h; ++y) {
        uint8_t* first = to + size_t(y) * size_t(k) * size_t(toPitch);
        row(from + size_t(y) * size_t(fromPitch), w, first, k);
        for (int j = 1; j < k; ++j) std::memcpy(first + size_t(j) * size_t(toPitch), first, rowBytes);
    }
}

int PlatformFitFactor(int w, int h, int roomW, int roomH) {
    if (w <= 0 || h <= 0) return 1;
    return std::max(1, std::min(roomW / w, roomH / h));
}
