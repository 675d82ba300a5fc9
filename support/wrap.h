// Wrap-around arithmetic on 32-bit ints, modulo 2^32: done in unsigned words, where overflow
// is defined, and read back as signed. For the pens, clocks, counters and sample values that
// may run past the int range and must come round rather than overflow.
#pragma once
#include <cstdint>

namespace wrap {
constexpr int32_t Signed(uint32_t v) { return static_cast<int32_t>(v); }
constexpr uint32_t Unsigned(int32_t v) { return static_cast<uint32_t>(v); }
constexpr int32_t Add(int32_t a, int32_t b) { return Signed(Unsigned(a) + Unsigned(b)); }
constexpr int32_t Sub(int32_t a, int32_t b) { return Signed(Unsigned(a) - Unsigned(b)); }
constexpr int32_t Mul(int32_t a, int32_t b) { return Signed(Unsigned(a) * Unsigned(b)); }
// The caller reduces the count below 32 first.
constexpr int32_t ShiftLeft(int32_t v, unsigned n) { return Signed(Unsigned(v) << n); }
} // namespace wrap
