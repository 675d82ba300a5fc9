// The text form shared by the picture and grey-map modules: a plain P3 image wrapped in the
// module's keyword and braces. Three samples a pixel, each "%3d " (twelve characters a pixel),
// six pixels a line, and the last pixel's trailing space turned into a line feed; "}\n" closes
// it. A record without pixels is "<keyword>{}" alone.
#pragma once
#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/sizes.h"

namespace textform {

constexpr size_t kPixelChars = 12;

// "%3d " of every sample value, looked up instead of formatted per sample.
inline constexpr auto kSamples = [] {
    std::array<std::array<char, 4>, 256> table{};
    for (int v = 0; v < 256; ++v) {
        table[v] = {v >= 100 ? char('0' + v / 100) : ' ', v >= 10 ? char('0' + v / 10 % 10) : ' ', char('0' + v % 10),
                    ' '};
    }
    return table;
}();

// The text of a width x height record whose pixel i has the samples rgb(i) (three bytes);
// malloc'ed, or null when memory runs out or the text would be longer than memory can hold.
template <typename Samples>
char* Write(const char* keyword, int width, int height, Samples rgb) {
    const size_t n = sizes::CellsOf(width, height);
    const size_t keywordLength = std::strlen(keyword);
    if (n == 0) {
        auto* text = static_cast<char*>(std::calloc(keywordLength + 3, 1));
        if (text) {
            std::memcpy(text, keyword, keywordLength);
            std::memcpy(text + keywordLength, "{}", 2);
        }
        return text;
    }
    char header[64];
    const int sizeLength = std::snprintf(header, sizeof header, "{\nP3\n%d %d\n255\n", width, height);
    // The header, twelve characters a pixel (line feeds take the place of spaces), "}\n" and the end.
    size_t samples = 0, length = 0;
    if (!sizes::Bytes(int64_t(n), kPixelChars, samples) ||
        !sizes::Add(keywordLength + size_t(sizeLength) + 3, samples, length))
        return nullptr;
    auto* text = static_cast<char*>(std::calloc(length, 1));
    if (!text) return nullptr;
    char* out = text;
    std::memcpy(out, keyword, keywordLength);
    out += keywordLength;
    std::memcpy(out, header, size_t(sizeLength));
    out += sizeLength;
    for (size_t i = 0; i < n; ++i) {
        const std::array<uint8_t, 3> samples = rgb(i);
        for (size_t k = 0; k < 3; ++k) std::memcpy(out + 4 * k, kSamples[samples[k]].data(), 4);
        out += kPixelChars;
        // Six pixels a line, and the last line ends with a line feed, never a space.
        if (i % 6 == 5 || i + 1 == n) out[-1] = '\n';
    }
    std::memcpy(out, "}\n", 2);
    return text;
}

// Skips to the next digit and reads the number there, wrapping as samples are unchecked.
// False when the text ends first.
inline bool ReadSample(const char*& at, uint32_t& value) {
    while (*at < '0' || *at > '9')
        if (!*at++) return false;
    value = 0;
    while (*at >= '0' && *at <= '9') value = value * 10u + uint32_t(*at++ - '0');
    return true;
}

namespace detail {
// Reads a run of decimal digits; false when there is none or the value passes INT_MAX.
inline bool ReadCount(const char*& at, int& value) {
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
inline bool SkipOne(const char*& at) {
    if (!*at) return false;
    ++at;
    return true;
}
} // namespace detail

// Reads the front of a text form: the keyword, "{" and "P3\n", each found with the module's
// own search `find` (index just past the first occurrence, 0 when absent), then the width and
// the height, each followed by one character, and the maximum value with one more. Returns
// where the samples start, or null when a keyword or a size is missing, the pixel count does
// not fit an int, or the text is too short to hold the samples it declares (three a pixel,
// each a digit at least, with a character between), so nothing is allocated for a text that
// cannot fill it.
inline const char* ReadHeader(const char* text, const char* keyword, int (*find)(const char*, const char*),
                              int& width, int& height) {
    const char* at = text;
    for (const char* marker : {keyword, "{", "P3\n"}) {
        const int past = find(at, marker);
        if (!past) return nullptr;
        at += past;
    }
    if (!detail::ReadCount(at, width) || !detail::SkipOne(at) || !detail::ReadCount(at, height) ||
        !detail::SkipOne(at))
        return nullptr;
    while (*at >= '0' && *at <= '9') ++at; // the maximum value is read past and ignored
    detail::SkipOne(at);
    size_t n = 0, least = 0;
    if (!sizes::Cells(width, height, n)) return nullptr;
    if (n && (!sizes::Bytes(int64_t(n), 6, least) || std::strlen(at) < least - 1)) return nullptr;
    return at;
}

} // namespace textform
