// Netpbm reading shared by the picture and grey-map readers: byte sources for memory and
// files, the header grammar and the six raster decoders. A reader is one forward pass: every
// byte is checked where it is read, the end of the input always ends the read, the header is
// bounded, and no pixel store is committed before the input has shown it can fill it.
#pragma once
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pnm {

constexpr int kEnd = -1;

// Netpbm wants the magic first. Separators and comments (and in the grey maps' grammar the
// numbers) may come before it, but only this far; and a whole header, comments included, ends
// within a generous fixed length, so no endless input keeps a reader in its header.
constexpr size_t kMagicWithin = 1024;
constexpr size_t kHeaderWithin = 65536;

// Bytes in memory. The header and the text rasters end at a zero byte or at the size, binary
// rasters (which may hold zero bytes) at the size alone; SIZE_MAX means "as far as the caller
// guarantees".
class MemorySource {
public:
    MemorySource(const unsigned char* bytes, size_t size) : at_(bytes), left_(size) {}
    int Peek() const { return left_ && *at_ ? *at_ : kEnd; }
    int Get() {
        if (!left_ || !*at_) return kEnd;
        --left_;
        return *at_++;
    }
    // The next raster byte, whatever its value.
    int Byte() {
        if (!left_) return kEnd;
        --left_;
        return *at_++;
    }
    // The next `count` raster bytes, or null when fewer are left.
    const unsigned char* Raw(size_t count) {
        if (count > left_) return nullptr;
        const unsigned char* bytes = at_;
        at_ += count;
        left_ -= count;
        return bytes;
    }
    // How many more bytes, up to `wanted`, lie before the text's end.
    size_t TextAvailable(size_t wanted) const {
        return strnlen(reinterpret_cast<const char*>(at_), std::min(wanted, left_));
    }
    size_t Left() const { return left_; }

private:
    const unsigned char* at_;
    size_t left_;
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
    int Byte() { return Get(); }
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
    // The bytes left in a regular file. False for a pipe, a device or a file of /proc, whose
    // sizes say nothing true about what they will deliver.
    bool Measure(uint64_t& left) {
        struct stat about;
        if (fstat(fileno(file_), &about) != 0 || !S_ISREG(about.st_mode)) return false;
        const off_t here = ftello(file_);
        if (here < 0 || about.st_size < here) return false;
        left = uint64_t(about.st_size - here);
        return true;
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
    int64_t maximum = 0; // never rescales a sample; above 255 a binary raster has two-byte samples
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
// NumberEnd::kConsumed the byte that ends every number is taken with it, and nothing more is
// skipped after the last one. A '#' that ends a number opens a comment either way, as in
// Netpbm: the raster then starts behind the comment's line feed. Anything else refuses the
// header: under kStrict a byte that fits nowhere, a second magic or a number before the magic;
// always a bad type digit, a number too large for an int as a size, a zero size, a binary grey
// or colour raster of two-byte samples, a header past its bounds, or the end of the input.
template <typename Source>
bool ReadHeader(Source& in, Header& header, NumberEnd numberEnd, Grammar grammar = Grammar::kStrict) {
    const bool lenient = grammar == Grammar::kLenient;
    int64_t numbers[3] = {0, 0, 0};
    int count = 0;
    // The header's view of the input ends where its bounds do.
    size_t used = 0;
    auto open = [&] { return used < (header.kind ? kHeaderWithin : kMagicWithin); };
    auto peek = [&] { return open() ? in.Peek() : kEnd; };
    auto get = [&] {
        if (!open()) return kEnd;
        ++used;
        return in.Get();
    };
    auto skipComment = [&] { // the '#' is already taken
        for (int c; (c = get()) != '\n';)
            if (c == kEnd) return false;
        return true;
    };
    auto takeEnd = [&] {
        const int c = get();
        return c != kEnd && (c != '#' || skipComment());
    };
    auto complete = [&] { return header.kind && count >= ((header.kind == 1 || header.kind == 4) ? 2 : 3); };
    for (;;) {
        const int c = peek();
        if (c == kEnd) return false;
        if (IsSeparator(c)) {
            get();
        } else if (c == '#') {
            get();
            if (!skipComment()) return false;
        } else if (c == 'P' && !header.kind) {
            get();
            const int digit = get();
            if (digit < '1' || digit > '6') return false;
            header.kind = digit - '0';
            // Only when the numbers came first; the one byte behind the last field goes too.
            if (complete()) {
                if (numberEnd == NumberEnd::kKept && !takeEnd()) return false;
                break;
            }
        } else if (IsDigit(c) || lenient) {
            if (!header.kind && !lenient) return false;
            int64_t value = 0;
            const bool stray = !IsDigit(c);
            if (stray) {
                get();
            } else {
                while (IsDigit(peek())) {
                    value = value * 10 + (get() - '0');
                    if (value > INT_MAX) value = int64_t(INT_MAX) + 1; // saturate: refused below
                }
            }
            if (count < 3) numbers[count++] = value; // a fourth number before the magic has no place
            const bool last = complete();
            // A stray byte has already ended its own number.
            const bool endTaken =
                stray ? last && numberEnd == NumberEnd::kKept : last || numberEnd == NumberEnd::kConsumed;
            if (endTaken && !takeEnd()) return false;
            if (last) break;
        } else {
            return false;
        }
    }
    if (numbers[0] <= 0 || numbers[1] <= 0 || numbers[0] > INT_MAX || numbers[1] > INT_MAX) return false;
    header.width = int(numbers[0]);
    header.height = int(numbers[1]);
    header.maximum = numbers[2];
    // A channel here is one byte and samples are never rescaled: a binary raster of two-byte
    // samples would come out wrong in every pixel, so it is refused instead.
    return !((header.kind == 5 || header.kind == 6) && header.maximum > 255);
}

// Bytes a raster of the header's kind and size takes at the least: exact for the binary kinds,
// a lower bound for the text kinds (every sample at least one digit; numbers need a byte between
// them, single bitmap digits do not). Only for a header that Holdable accepts.
inline uint64_t MinimumRasterBytes(const Header& h) {
    const uint64_t w = uint64_t(h.width), n = w * uint64_t(h.height);
    switch (h.kind) {
    case 1: return n;
    case 2: return 2 * n - 1;
    case 3: return 6 * n - 1;
    case 4: return (w + 7) / 8 * uint64_t(h.height);
    case 5: return n;
    default: return 3 * n;
    }
}

// The pixel count fits the modules' int indexes and the raster's bytes this machine's sizes,
// computed in 64 bits so that no header can wrap them.
inline bool Holdable(const Header& h) {
    return uint64_t(h.width) * uint64_t(h.height) <= uint64_t(INT_MAX) && MinimumRasterBytes(h) <= SIZE_MAX;
}

// The header of a picture in memory as the memory readers take it. A bitmap row there is whole
// bytes, so the width of a raw bitmap is rounded up to them and the padding bits become extra
// columns. A raster too short for its size is refused here, before anything is allocated.
inline bool ReadMemoryHeader(MemorySource& in, Header& header, Grammar grammar) {
    if (!ReadHeader(in, header, NumberEnd::kKept, grammar)) return false;
    if (header.kind == 4) {
        const int64_t rounded = (int64_t(header.width) + 7) / 8 * 8;
        if (rounded > INT_MAX) return false;
        header.width = int(rounded);
    }
    if (!Holdable(header)) return false;
    const size_t needed = size_t(MinimumRasterBytes(header));
    return IsText(header.kind) ? in.TextAvailable(needed) >= needed : in.Left() >= needed;
}

// The header of a picture file: every number takes the byte that ends it.
inline bool ReadFileHeader(FileSource& in, Header& header, Grammar grammar) {
    return ReadHeader(in, header, NumberEnd::kConsumed, grammar) && Holdable(header);
}

// The next digit of a text raster, passing over every other byte and over comments ('#'
// through the line feed, as Netpbm reads them); kEnd at the end of the input.
template <typename Source>
int NextDigit(Source& in) {
    for (;;) {
        int c = in.Get();
        if (IsDigit(c) || c == kEnd) return c;
        if (c == '#') {
            while ((c = in.Get()) != '\n')
                if (c == kEnd) return kEnd;
        }
    }
}

// Reads the decimal number at the next digit, wrapping modulo 2^32 as samples are taken as
// they are. False at the end of the input.
template <typename Source>
bool ReadSample(Source& in, uint32_t& value) {
    const int c = NextDigit(in);
    if (c == kEnd) return false;
    value = uint32_t(c - '0');
    while (IsDigit(in.Peek())) value = value * 10u + uint32_t(in.Get() - '0');
    return true;
}

// Where a raster read stands: the next pixel, and the bitmap byte whose bits are in use.
struct Cursor {
    size_t next = 0;
    int bits = 0;
};

constexpr size_t kChunkPixels = 16384; // binary pixels taken from the source at once

// Decodes the raster of `header` from pixel at.next up to `end` into `sink`, in array order:
//   sink.Colour(i, r, g, b), sink.Grey(i, v), sink.Bit(i, set).
// A plain bitmap pixel is one digit. Bitmap bits: each row starts on a new byte and pixel x uses
// bit 7 - x % 8 (a width rounded up to whole bytes makes that the continuous bit stream).
// False when the input ends early.
template <typename Source, typename Sink>
bool ReadPixels(Source& in, const Header& header, Cursor& at, size_t end, Sink& sink) {
    switch (header.kind) {
    case 1:
        for (; at.next < end; ++at.next) {
            const int c = NextDigit(in);
            if (c == kEnd) return false;
            sink.Bit(at.next, c != '0');
        }
        return true;
    case 2:
        for (; at.next < end; ++at.next) {
            uint32_t v;
            if (!ReadSample(in, v)) return false;
            sink.Grey(at.next, v);
        }
        return true;
    case 3:
        for (; at.next < end; ++at.next) {
            uint32_t r, g, b;
            if (!ReadSample(in, r) || !ReadSample(in, g) || !ReadSample(in, b)) return false;
            sink.Colour(at.next, r, g, b);
        }
        return true;
    case 4: {
        const size_t w = size_t(header.width);
        for (size_t x = at.next % w; at.next < end; ++at.next) {
            if (x % 8 == 0 && (at.bits = in.Byte()) == kEnd) return false;
            sink.Bit(at.next, (at.bits >> (7 - x % 8)) & 1);
            if (++x == w) x = 0;
        }
        return true;
    }
    case 5:
    case 6: {
        const size_t bytesPerPixel = header.kind == 5 ? 1 : 3;
        while (at.next < end) {
            const size_t count = std::min(end - at.next, kChunkPixels);
            const unsigned char* bytes = in.Raw(count * bytesPerPixel);
            if (!bytes) return false;
            if (bytesPerPixel == 1) {
                for (size_t k = 0; k < count; ++k) sink.Grey(at.next + k, bytes[k]);
            } else {
                for (size_t k = 0; k < count; ++k)
                    sink.Colour(at.next + k, bytes[3 * k], bytes[3 * k + 1], bytes[3 * k + 2]);
            }
            at.next += count;
        }
        return true;
    }
    default:
        return false;
    }
}

// The readers' whole frame, for a module that supplies
//   using Record = ...;  using Pixel = ...;  the record it reads into and its pixel type
//   using Sink = ...;    where decoded pixels go (see ReadPixels), made as Sink{Pixel*}
//   static Record* Make(int width, int height)     a zeroed record of that size, or null
//   static Record* Adopt(int width, int height, Pixel* pixels)
//                        a record that takes over a malloc'ed array of that size, or null
//   static Pixel* PixelsOf(Record*)
//   static void Release(Record*)
//   static void Error()                            its refusal report
// Every refusal (a null argument, a file that cannot be opened, a bad header, a record that
// cannot be made, a raster that ends early) is reported and gives null; a record is never
// handed out half read, and a file is closed on every outcome.
template <typename Module, typename Source>
typename Module::Record* Decode(Source& in, const Header& header) {
    typename Module::Record* record = Module::Make(header.width, header.height);
    if (!record) {
        Module::Error();
        return nullptr;
    }
    typename Module::Sink sink{Module::PixelsOf(record)};
    Cursor at;
    if (!ReadPixels(in, header, at, size_t(header.width) * size_t(header.height), sink)) {
        Module::Release(record);
        Module::Error();
        return nullptr;
    }
    return record;
}

constexpr size_t kFirstPixels = 65536;

// Input whose length cannot be known beforehand (a pipe, a device): the header alone commits
// nothing. The pixel store grows as pixels arrive, to at most twice what has been read, and
// ends at exactly the picture's size.
template <typename Module>
typename Module::Record* DecodeGrowing(FileSource& in, const Header& header) {
    using Pixel = typename Module::Pixel;
    const uint64_t n = uint64_t(header.width) * uint64_t(header.height);
    if (n * sizeof(Pixel) > SIZE_MAX) {
        Module::Error();
        return nullptr;
    }
    Pixel* store = nullptr;
    Cursor at;
    for (uint64_t capacity = 0; at.next < n;) {
        capacity = std::min(n, std::max<uint64_t>(2 * capacity, kFirstPixels));
        auto* grown = static_cast<Pixel*>(std::realloc(store, size_t(capacity) * sizeof(Pixel)));
        if (!grown) break;
        store = grown;
        typename Module::Sink sink{store};
        if (!ReadPixels(in, header, at, size_t(capacity), sink)) break;
    }
    typename Module::Record* record = at.next == n ? Module::Adopt(header.width, header.height, store) : nullptr;
    if (!record) {
        std::free(store);
        Module::Error();
    }
    return record;
}

// From `size` bytes in memory (SIZE_MAX: as far as the caller guarantees).
template <typename Module>
typename Module::Record* ReadMemory(const unsigned char* bytes, size_t size, Grammar grammar) {
    if (!bytes) {
        Module::Error();
        return nullptr;
    }
    MemorySource in(bytes, size);
    Header header;
    if (!ReadMemoryHeader(in, header, grammar)) {
        Module::Error();
        return nullptr;
    }
    return Decode<Module>(in, header);
}

template <typename Module>
typename Module::Record* ReadFile(const char* name, Grammar grammar) {
    FILE* file = name ? std::fopen(name, "rb") : nullptr;
    if (!file) {
        Module::Error();
        return nullptr;
    }
    typename Module::Record* record = nullptr;
    {
        FileSource in(file);
        Header header;
        uint64_t left = 0;
        if (!ReadFileHeader(in, header, grammar)) Module::Error();
        else if (!in.Measure(left)) record = DecodeGrowing<Module>(in, header);
        // A regular file too short for the raster it declares is refused before allocation.
        else if (left < MinimumRasterBytes(header)) Module::Error();
        else record = Decode<Module>(in, header);
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
