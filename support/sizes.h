// Store sizes formed from int counts. Every product is taken in 64 bits and checked against what
// this platform's size_t holds (32 bits on wasm32 and other 32-bit targets), so a large width
// times a height, or a count times a unit, is refused instead of wrapping to a small size that
// would then be allocated and overrun.
#pragma once
#include <climits>
#include <cstddef>
#include <cstdint>

namespace sizes {

// Whether a 64-bit size fits this platform's size_t.
constexpr bool Fits(uint64_t n) { return n <= uint64_t(SIZE_MAX); }

// The cells of a width x height store, when neither is negative and the count fits an int
// index (the modules index their stores with ints) and a size_t.
constexpr bool Cells(int64_t width, int64_t height, size_t& cells) {
    if (width < 0 || height < 0) return false;
    const uint64_t n = uint64_t(width) * uint64_t(height); // both below 2^31: no 64-bit wrap
    if (n > uint64_t(INT_MAX) || !Fits(n)) return false;
    cells = size_t(n);
    return true;
}

// The cells of a store that exists: its size passed Cells when it was made.
constexpr size_t CellsOf(int width, int height) {
    return width > 0 && height > 0 ? size_t(uint64_t(width) * uint64_t(height)) : 0;
}

// count x unit bytes, when count is not negative and the product fits a size_t.
constexpr bool Bytes(int64_t count, uint64_t unit, size_t& bytes) {
    if (count < 0) return false;
    if (unit && uint64_t(count) > UINT64_MAX / unit) return false;
    const uint64_t n = uint64_t(count) * unit;
    if (!Fits(n)) return false;
    bytes = size_t(n);
    return true;
}

// a + b, when the sum fits a size_t.
constexpr bool Add(size_t a, size_t b, size_t& sum) {
    if (a > SIZE_MAX - b) return false;
    sum = a + b;
    return true;
}

} // namespace sizes
