// Netpbm reading shared by the picture and grey-map readers: byte sources
// for memory and files, the header grammar and the six raster decoders. A reader is one forward
// pass: every byte is checked where it is read, the end of the input (the terminating zero of a
// text in memory, the end of a file) always ends the read, and nothing is allocated until the
// header is complete and the input is known to be able to hold the raster.
#pragma once
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/sizes.h"

namespace pnm {

constexpr int kEnd = -1;

// A zero-terminated text in memory; the binary rasters that follow a header may hold zero
// bytes and are taken by count, which the caller of a memory reader must guarantee exist.
class MemorySource {
public:
    explicit MemorySource(const unsigned char* bytes) : at_(bytes) {}
    int Peek() const { return *at_ ? *at_ : kEnd; }
    int Get() { return *at_ ? *at_++ : kEnd; }
    const unsigned char* Raw(size_t count) {
        const unsigned char* bytes = at_;
        at_ += count;
        return bytes;
    }
    // How many more bytes, up to `wanted`, lie before the terminating zero.
    size_t TextAvailable(size_t wanted) const { return strnlen(reinterpret_cast<const char*>(at_), wanted); }
    const unsigned char* Position() const { return at_; }

private:
    const unsigned char* at_;
};

class FileSource {
public:
    explicit FileSource(FILE* file) : file_(file) {}
    ~FileSource() { std::free(buffer_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    int Peek() {
        const int c = std::getc(file_);
        if (c == EOF) return kEnd;
        std::ungetc(c, file_);
        return c;
    }
    int Get() {
        const int c = std::getc(file_);
        return c == EOF ? kEnd : c;
    }
    // The next `count` bytes, or null when the file ends first or memory runs out.
    const unsigned char* Raw(size_t count) {
        if (capacity_ < count) {
            auto* grown = static_cast<unsigned char*>(std::realloc(buffer_, count));
            if (!grown) return nullptr;
            buffer_ = grown;
            capacity_ = count;
        }
        return std::fread(buffer_, 1, count, file_) == count ? buffer_ : nullptr;
    }
    // Bytes left in the file, or SIZE_MAX when that cannot be known (a pipe).
    size_t Remaining() {
        const long here = std::ftell(file_);
        if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return SIZE_MAX;
        const long end = std::ftell(file_);
        if (std::fseek(file_, here, SEEK_SET) != 0 || end < here) return SIZE_MAX;
        return size_t(end - here);
    }

private:
    FILE* file_;
    unsigned char* buffer_ = nullptr;
    size_t capacity_ = 0;
};

struct Header {
    int kind = 0;    // 1 to 6, the digit of the magic
    int width = 0;
    int height = 0;
    int64_t maximum = 0; // read and ignored
};

inline bool IsSeparator(int c) { return c <= 0x20 || c >= 0x7F; }
inline bool IsDigit(int c) { return c >= '0' && c <= '9'; }
inline bool IsText(int kind) { return kind >= 1 && kind <= 3; }

enum class NumberEnd { kKept, kConsumed };

// How forgiving the header is. kStrict refuses every byte that fits nowhere. kLenient, the
// grey-map readers' grammar, collects the four facts in any order (numbers may come before the
// magic) and reads a printable byte that fits nowhere, a second 'P' included, as the number 0;
// that byte is consumed with it, so the read always moves on.
enum class Grammar { kStrict, kLenient };

// Reads the header: separators between tokens, the magic, comments from '#' through the line
// feed, then the width, the height and (except for bitmaps) the maximum value. After the last
// field exactly one byte is consumed, so the raster starts right behind it. With
// NumberEnd::kConsumed the byte that ends every number is taken with it (a '#' right behind a
// number then ends the number rather than opening a comment), and nothing more is skipped
// after the last one. Anything else refuses the header: under kStrict a byte that fits
// nowhere, a second magic or a number before the magic; always a bad type digit, a number too
// large for an int as a size, a zero size, or the end of the input.
template <typename Source>
bool ReadHeader(Source& in, Header& header, NumberEnd numberEnd, Grammar grammar = Grammar::kStrict) {
    const bool lenient = grammar == Grammar::kLenient;
    int64_t numbers[3] = {0, 0, 0};
    int count = 0;
    auto complete = [&] { return header.kind && count >= ((header.kind == 1 || header.kind == 4) ? 2 : 3); };
    for (;;) {
        const int c = in.Peek();
        if (c == kEnd) return false;
        if (IsSeparator(c)) {
            in.Get();
        } else if (c == '#') {
            int skipped;
            while ((skipped = in.Get()) != '\n')
                if (skipped == kEnd) return false;
        } else if (c == 'P' && !header.kind) {
            in.Get();
            const int digit = in.Get();
            if (digit < '1' || digit > '6') return false;
            header.kind = digit - '0';
            // Only when the numbers came first; the one byte behind the last field goes too.
            if (complete()) {
                if (numberEnd == NumberEnd::kKept && in.Get() == kEnd) return false;
                break;
            }
        } else if (IsDigit(c) || lenient) {
            if (!header.kind && !lenient) return false;
            int64_t value = 0;
            const bool stray = !IsDigit(c);
            if (stray) {
                in.Get();
            } else {
                while (IsDigit(in.Peek())) {
                    value = value * 10 + (in.Get() - '0');
                    if (value > INT_MAX) value = int64_t(INT_MAX) + 1; // saturate: refused below
                }
            }
            if (count < 3) numbers[count++] = value; // a fourth number before the magic has no place
            const bool last = complete();
            // A stray byte has already ended its own number.
            const bool takeEnd = stray ? last && numberEnd == NumberEnd::kKept
                                       : last || numberEnd == NumberEnd::kConsumed;
            if (takeEnd && in.Get() == kEnd) return false;
            if (last) break;
        } else {
            return false;
        }
    }
    if (numbers[0] <= 0 || numbers[1] <= 0 || numbers[0] > INT_MAX || numbers[1] > INT_MAX) return false;
    header.width = int(numbers[0]);
    header.height = int(numbers[1]);
    header.maximum = numbers[2];
    return true;
}

// Bytes a raster of the header's kind and size takes at the least: exact for the binary kinds,
// a lower bound for the text kinds (every sample at least one digit; numbers need a byte between
// them, single bitmap digits from memory do not).
// Counted in 64 bits: on a 32-bit platform three bytes a pixel can pass what a size_t holds.
inline uint64_t MinimumRasterBytes(const Header& h, bool adjacentBits) {
    const uint64_t w = uint64_t(h.width), n = w * uint64_t(h.height);
    switch (h.kind) {
    case 1: return adjacentBits ? n : 2 * n - 1;
    case 2: return 2 * n - 1;
    case 3: return 6 * n - 1;
    case 4: return (w + 7) / 8 * uint64_t(h.height);
    case 5: return n;
    default: return 3 * n;
    }
}

// The header of a picture in memory as the memory readers take it. A bitmap row there is whole
// bytes, so the width of a raw bitmap is rounded up to them and the padding bits become extra
// columns. A text raster ends at the terminating zero: one too short for its size is refused
// here, before anything is allocated; binary rasters are taken by count.
inline bool ReadMemoryHeader(MemorySource& in, Header& header, Grammar grammar) {
    if (!ReadHeader(in, header, NumberEnd::kKept, grammar)) return false;
    if (header.kind == 4) {
        const int64_t rounded = (int64_t(header.width) + 7) / 8 * 8;
        if (rounded > INT_MAX) return false;
        header.width = int(rounded);
    }
    const uint64_t needed = MinimumRasterBytes(header, true);
    // A raster larger than memory can hold would wrap the readers' byte counts.
    if (!sizes::Fits(needed)) return false;
    if (IsText(header.kind) && in.TextAvailable(size_t(needed)) < needed) return false;
    return true;
}

// The header of a picture file: every number takes the byte that ends it, and a file too
// short to hold the raster it declares (read with single-digit bitmap pixels or not) is
// refused before anything is allocated.
inline bool ReadFileHeader(FileSource& in, Header& header, Grammar grammar, bool singleDigitBits = false) {
    if (!ReadHeader(in, header, NumberEnd::kConsumed, grammar)) return false;
    const uint64_t needed = MinimumRasterBytes(header, singleDigitBits);
    return sizes::Fits(needed) && in.Remaining() >= needed;
}

// Skips bytes up to the next digit and reads the decimal number there, wrapping modulo 2^32 as
// samples are taken as they are. False at the end of the input.
template <typename Source>
bool ReadSample(Source& in, uint32_t& value) {
    int c;
    while (!IsDigit(c = in.Get()))
        if (c == kEnd) return false;
    value = uint32_t(c - '0');
    while (IsDigit(in.Peek())) value = value * 10u + uint32_t(in.Get() - '0');
    return true;
}

// Decodes the raster of `header` into `sink`, pixel by pixel in array order:
//   sink.Colour(i, r, g, b), sink.Grey(i, v), sink.Bit(i, set).
// Bitmap bits: each row starts on a new byte and pixel c uses bit 7 - c % 8 (a width rounded up
// to whole bytes makes that the continuous bit stream). singleDigitBits: a plain bitmap pixel is
// one digit character; otherwise a whole number. False when the input ends early.
template <typename Source, typename Sink>
bool ReadRaster(Source& in, const Header& header, bool singleDigitBits, Sink& sink) {
    const size_t w = size_t(header.width), h = size_t(header.height), n = w * h;
    switch (header.kind) {
    case 1:
        for (size_t i = 0; i < n; ++i) {
            if (singleDigitBits) {
                int c;
                while (!IsDigit(c = in.Get()))
                    if (c == kEnd) return false;
                sink.Bit(i, c != '0');
            } else {
                uint32_t v;
                if (!ReadSample(in, v)) return false;
                sink.Bit(i, v != 0);
            }
        }
        return true;
    case 2:
        for (size_t i = 0; i < n; ++i) {
            uint32_t v;
            if (!ReadSample(in, v)) return false;
            sink.Grey(i, v);
        }
        return true;
    case 3:
        for (size_t i = 0; i < n; ++i) {
            uint32_t r, g, b;
            if (!ReadSample(in, r) || !ReadSample(in, g) || !ReadSample(in, b)) return false;
            sink.Colour(i, r, g, b);
        }
        return true;
    case 4: {
        const size_t rowBytes = (w + 7) / 8;
        for (size_t y = 0; y < h; ++y) {
            const unsigned char* row = in.Raw(rowBytes);
            if (!row) return false;
            for (size_t x = 0; x < w; ++x) sink.Bit(y * w + x, (row[x >> 3] >> (7 - (x & 7))) & 1);
        }
        return true;
    }
    case 5:
        for (size_t y = 0; y < h; ++y) {
            const unsigned char* row = in.Raw(w);
            if (!row) return false;
            for (size_t x = 0; x < w; ++x) sink.Grey(y * w + x, row[x]);
        }
        return true;
    case 6:
        for (size_t y = 0; y < h; ++y) {
            const unsigned char* row = in.Raw(3 * w);
            if (!row) return false;
            for (size_t x = 0; x < w; ++x) sink.Colour(y * w + x, row[3 * x], row[3 * x + 1], row[3 * x + 2]);
        }
        return true;
    default:
        return false;
    }
}

// The readers' whole frame, for a module that supplies
//   using Record = ...;                      the record it reads into
//   static Record* Make(int width, int height)   a zeroed record of that size, or null
//   static auto SinkOf(Record*)                  where the decoded pixels go (see ReadRaster)
//   static void Release(Record*)
//   static void Error()                          its refusal report
// Every refusal (a null argument, a file that cannot be opened, a bad header, a record that
// cannot be made, a raster that ends early) is reported and gives null; a record is never
// handed out half read, and a file is closed on every outcome.
template <typename Module, typename Source>
typename Module::Record* Decode(Source& in, const Header& header, bool singleDigitBits) {
    typename Module::Record* record = Module::Make(header.width, header.height);
    if (!record) {
        Module::Error();
        return nullptr;
    }
    auto sink = Module::SinkOf(record);
    if (!ReadRaster(in, header, singleDigitBits, sink)) {
        Module::Release(record);
        Module::Error();
        return nullptr;
    }
    return record;
}

// From memory: plain bitmap pixels are single digits.
template <typename Module>
typename Module::Record* ReadMemory(const unsigned char* bytes, Grammar grammar) {
    if (!bytes) {
        Module::Error();
        return nullptr;
    }
    MemorySource in(bytes);
    Header header;
    if (!ReadMemoryHeader(in, header, grammar)) {
        Module::Error();
        return nullptr;
    }
    return Decode<Module>(in, header, true);
}

template <typename Module>
typename Module::Record* ReadFile(const char* name, Grammar grammar, bool singleDigitBits) {
    FILE* file = name ? std::fopen(name, "rb") : nullptr;
    if (!file) {
        Module::Error();
        return nullptr;
    }
    typename Module::Record* record = nullptr;
    {
        FileSource in(file);
        Header header;
        if (ReadFileHeader(in, header, grammar, singleDigitBits)) record = Decode<Module>(in, header, singleDigitBits);
        else Module::Error();
    }
    std::fclose(file);
    return record;
}

// Writes a binary Netpbm file: "<magic>\n<width> <height>\n255\n", then `height` rows of
// rowBytes bytes, row(y, scratch) giving the bytes of row y (it may fill `scratch`, rowBytes
// long when scratchNeeded, and return it). False when the file cannot be opened, memory runs
// out or a write fails; a full disk shows only when the buffered bytes are flushed at the close.
template <typename Row>
bool WriteFile(const char* name, const char* magic, int width, int height, size_t rowBytes, bool scratchNeeded,
               Row row) {
    auto* scratch = static_cast<unsigned char*>(scratchNeeded ? std::malloc(rowBytes) : nullptr);
    FILE* file = (scratch || !scratchNeeded) ? std::fopen(name, "wb") : nullptr;
    if (!file) {
        std::free(scratch);
        return false;
    }
    bool written = std::fprintf(file, "%s\n%d %d\n255\n", magic, width, height) > 0;
    for (int y = 0; written && y < height; ++y) written = std::fwrite(row(y, scratch), 1, rowBytes, file) == rowBytes;
    std::free(scratch);
    if (std::fclose(file) != 0) written = false;
    return written;
}

} // namespace pnm
