#include "sound/sample.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "support/identity.h"
#include "support/sizes.h"
#include "support/wrap.h"

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("SAMPLE", "20110428", "OrvilleK", "C++", "CODE");
unsigned char debug = 0;

bool HasValues(const SAMPLE* s) { return s && s->items; }

// Values in use; a hand-made record with a negative length has none.
int Used(const SAMPLE* s) { return s->length > 0 ? s->length : 0; }

using wrap::Unsigned;

int32_t* Allocate(int n) { return static_cast<int32_t*>(std::calloc(static_cast<size_t>(n), sizeof(int32_t))); }

// Installs `array` of `capacity` values in place of the sample's own.
void Install(SAMPLE* s, int32_t* array, int capacity) {
    std::free(s->items);
    s->items = array;
    s->capacity = capacity;
}

enum class Direction { Right, Left };

// Builds the rotated values in a work sample and takes over its array: the moves never
// overlap, and a failed allocation leaves the sample as it was.
void Rotate(SAMPLE* s, int k, Direction direction) {
    if (!HasValues(s)) {
        SAMPLEError();
        return;
    }
    const int length = Used(s);
    if (length == 0) return; // nothing to rotate
    int shift = k % length;
    if (shift < 0) shift += length; // a negative amount turns the other way
    SAMPLE* work = SAMPLENew();
    if (work) SAMPLESetLength(work, length);
    if (!work || !work->items || work->length != length) {
        if (work) SAMPLEFree(&work);
        SAMPLEError();
        return;
    }
    if (direction == Direction::Right) {
        SAMPLEMove(s, work, length - shift, 0, shift);
        SAMPLEMove(s, work, shift, length - shift, 0);
    } else {
        SAMPLEMove(s, work, shift, 0, length - shift);
        SAMPLEMove(s, work, length - shift, shift, 0);
    }
    Install(s, work->items, work->capacity);
    std::free(work);
}

// Decimal characters of v, with its sign.
int DecimalWidth(int32_t v) {
    int width = v < 0 ? 2 : 1;
    for (uint32_t m = v < 0 ? 0u - Unsigned(v) : Unsigned(v); m >= 10; m /= 10) ++width;
    return width;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the digits at *p as a 32-bit word (wrapping), advancing *p past them.
uint32_t ReadDigits(const char** p) {
    uint32_t value = 0;
    for (; IsDigit(**p); ++*p) value = value * 10u + static_cast<uint32_t>(**p - '0');
    return value;
}

void PutBytes(unsigned char*& out, uint32_t v, int bytes, bool bigEndian) {
    for (int i = 0; i < bytes; ++i) {
        const int shift = 8 * (bigEndian ? bytes - 1 - i : i);
        *out++ = static_cast<unsigned char>(v >> shift);
    }
}
} // namespace

void SAMPLEError() {
    if (debug) std::printf("SAMPLE error\n");
}

SAMPLE* SAMPLENew() {
    auto* s = static_cast<SAMPLE*>(std::calloc(1, sizeof(SAMPLE)));
    if (!s) {
        SAMPLEError();
        return nullptr;
    }
    SAMPLESetCapacity(s, 32);
    return s;
}

void SAMPLEFree(SAMPLE** p) {
    if (!p || !*p) {
        SAMPLEError();
        return;
    }
    std::free((*p)->items);
    std::free(*p);
    *p = nullptr;
}

SAMPLE* SAMPLECopy(const SAMPLE* src) {
    if (!HasValues(src) || src->length < 0) {
        SAMPLEError();
        return nullptr;
    }
    SAMPLE* copy = SAMPLENew();
    if (!copy) return nullptr;
    SAMPLESetCapacity(copy, src->length);
    if (!copy->items || copy->capacity < src->length) { // the values would not fit
        SAMPLEFree(&copy);
        SAMPLEError();
        return nullptr;
    }
    std::memcpy(copy->items, src->items, static_cast<size_t>(src->length) * sizeof(int32_t));
    copy->length = src->length;
    return copy;
}

void SAMPLESetCapacity(SAMPLE* s, int n) {
    if (!s || n < 1) {
        SAMPLEError();
        return;
    }
    int32_t* array = Allocate(n);
    if (!array) {
        SAMPLEError();
        return;
    }
    if (s->length > n) s->length = n;
    if (s->items && s->length > 0) std::memcpy(array, s->items, static_cast<size_t>(s->length) * sizeof(int32_t));
    Install(s, array, n);
}

void SAMPLESetLength(SAMPLE* s, int n) {
    if (!s || n < 0) {
        SAMPLEError();
        return;
    }
    if (n > s->capacity) {
        SAMPLESetCapacity(s, n);
        if (s->capacity < n) return; // the array could not grow: a longer length would overrun it
    }
    s->length = n;
}

void SAMPLEClear(SAMPLE* s) {
    if (!HasValues(s)) {
        SAMPLEError();
        return;
    }
    std::fill_n(s->items, Used(s), 0);
}

void SAMPLEAdd(SAMPLE* dst, const SAMPLE* src) {
    if (!HasValues(dst) || !HasValues(src)) {
        SAMPLEError();
        return;
    }
    const int n = std::min(Used(dst), Used(src));
    int32_t* d = dst->items;
    const int32_t* s = src->items;
    for (int i = 0; i < n; ++i) d[i] = wrap::Add(d[i], s[i]);
}

void SAMPLEShiftLeft(SAMPLE* s, int n) {
    if (!s || n > 32 || !s->items) {
        SAMPLEError();
        return;
    }
    const unsigned shift = static_cast<unsigned>(n) & 31u;
    int32_t* v = s->items;
    const int length = Used(s);
    for (int i = 0; i < length; ++i) v[i] = wrap::ShiftLeft(v[i], shift);
}

void SAMPLEShiftRight(SAMPLE* s, int n) {
    if (!HasValues(s) || n > 32) {
        SAMPLEError();
        return;
    }
    const unsigned shift = static_cast<unsigned>(n) & 31u;
    int32_t* v = s->items;
    const int length = Used(s);
    for (int i = 0; i < length; ++i) v[i] >>= shift; // arithmetic: floor division by 2^shift
}

void SAMPLERotateRight(SAMPLE* s, int k) { Rotate(s, k, Direction::Right); }

void SAMPLERotateLeft(SAMPLE* s, int k) { Rotate(s, k, Direction::Left); }

void SAMPLEMove(const SAMPLE* src, SAMPLE* dst, int count, int from, int to) {
    if (!HasValues(src) || !HasValues(dst) || from < 0 || to < 0 ||
        static_cast<long long>(from) + count > src->length || static_cast<long long>(to) + count > dst->length) {
        SAMPLEError();
        return;
    }
    if (count <= 0) return;
    // Within one sample an overlapping move copies from the far end first, as memmove does.
    std::memmove(dst->items + to, src->items + from, static_cast<size_t>(count) * sizeof(int32_t));
}

int32_t SAMPLEGet(const SAMPLE* s, int i) {
    if (!HasValues(s) || i >= s->length || i < 0) {
        SAMPLEError();
        return 0;
    }
    return s->items[i];
}

char* SAMPLEToASCII(const SAMPLE* s) {
    if (!HasValues(s)) {
        SAMPLEError();
        return nullptr;
    }
    const int length = Used(s);
    if (length == 0) {
        char* text = static_cast<char*>(std::malloc(sizeof "SAMPLE{}\n"));
        if (!text) SAMPLEError();
        else std::memcpy(text, "SAMPLE{}\n", sizeof "SAMPLE{}\n");
        return text;
    }
    // Summed in 64 bits: on a 32-bit platform a long sample's text can pass what memory holds.
    uint64_t total = 7 + uint64_t(DecimalWidth(length)) + 1 + 2 + 1;
    for (int i = 0; i < length; ++i) total += uint64_t(DecimalWidth(s->items[i])) + 1;
    const size_t size = size_t(total);
    char* text = sizes::Fits(total) ? static_cast<char*>(std::malloc(size)) : nullptr;
    if (!text) {
        SAMPLEError();
        return nullptr;
    }
    char* out = text;
    out += std::snprintf(out, size, "SAMPLE{%d\n", length);
    for (int i = 0; i < length; ++i) out += std::snprintf(out, size - static_cast<size_t>(out - text), "%ld\n", static_cast<long>(s->items[i]));
    std::memcpy(out, "}\n", 3);
    return text;
}

SAMPLE* SAMPLEFromASCII(const char* text) {
    if (!text) {
        SAMPLEError();
        return nullptr;
    }
    const char* p = std::strstr(text, "SAMPLE");
    if (p) p = std::strchr(p, '{');
    if (!p) {
        SAMPLEError();
        return nullptr;
    }
    // The count: the first number after the brace. A brace closed before any digit is the
    // empty sample's own text form.
    while (*p && !IsDigit(*p) && *p != '}') ++p;
    if (*p == '}') return SAMPLENew();
    if (!*p) {
        SAMPLEError();
        return nullptr;
    }
    unsigned long long count = 0;
    for (; IsDigit(*p); ++p) count = std::min(count * 10 + static_cast<unsigned>(*p - '0'), 1ULL << 40);
    // Every value needs at least one character, so a count beyond the text's end is a lie:
    // refuse it before allocating for it.
    if (count > INT_MAX || count > std::strlen(p)) {
        SAMPLEError();
        return nullptr;
    }
    const int n = static_cast<int>(count);
    SAMPLE* s = SAMPLENew();
    if (!s) return nullptr;
    if (n > 0) SAMPLESetCapacity(s, n);
    if (!s->items || s->capacity < n) {
        SAMPLEFree(&s);
        SAMPLEError();
        return nullptr;
    }
    for (int i = 0; i < n; ++i) {
        while (*p && *p != '-' && !IsDigit(*p)) ++p;
        if (!*p) { // the text ended before all the values
            SAMPLEFree(&s);
            SAMPLEError();
            return nullptr;
        }
        const bool negative = *p == '-';
        if (negative) ++p;
        const uint32_t magnitude = ReadDigits(&p);
        s->items[i] = wrap::Signed(negative ? 0u - magnitude : magnitude);
    }
    s->length = n;
    return s;
}

bool SAMPLEEqual(const SAMPLE* a, const SAMPLE* b) {
    if (!HasValues(a) || !HasValues(b) || a->length != b->length) return false;
    for (int i = Used(a) - 1; i >= 0; --i) {
        if (a->items[i] != b->items[i]) return false;
    }
    return true;
}

void SAMPLESplice(SAMPLE* dst, const SAMPLE* src, int at) {
    if (!HasValues(dst) || !HasValues(src)) {
        SAMPLEError();
        return;
    }
    // Splicing a sample into itself: the source must not change under the growth.
    SAMPLE* own = dst == src ? SAMPLECopy(src) : nullptr;
    if (dst == src && !own) return;
    const SAMPLE* source = own ? own : src;
    const int old = Used(dst);
    const int added = Used(source);
    const long long total = static_cast<long long>(old) + added;
    if (total > INT_MAX) {
        SAMPLEError();
    } else if (total > 0) {
        SAMPLESetCapacity(dst, static_cast<int>(total));
        if (dst->capacity == total) {
            SAMPLESetLength(dst, static_cast<int>(total));
            if (at < 0 || at > old) {
                SAMPLEError(); // no place to insert: the old values stay, followed by zeros
            } else {
                SAMPLEMove(dst, dst, old - at, at, at + added);
                SAMPLEMove(source, dst, added, 0, at);
            }
        }
    }
    if (own) SAMPLEFree(&own);
}

SAMPLE* SAMPLECopyRange(const SAMPLE* s, int first, int end) {
    if (!HasValues(s) || end < first) {
        SAMPLEError();
        return nullptr;
    }
    end = std::min(end, Used(s));
    first = std::max(first, 0);
    SAMPLE* range = SAMPLENew();
    if (!range || end <= first) return range;
    const int n = end - first;
    SAMPLESetCapacity(range, n);
    if (!range->items || range->capacity != n) {
        SAMPLEFree(&range);
        SAMPLEError();
        return nullptr;
    }
    std::memcpy(range->items, s->items + first, static_cast<size_t>(n) * sizeof(int32_t));
    range->length = n;
    return range;
}

int SAMPLEMatches(const SAMPLE* a, const SAMPLE* b, int offset) {
    if (!HasValues(a) || !HasValues(b) || offset < 1LL - b->length || offset >= a->length) {
        SAMPLEError();
        return 0;
    }
    // The overlap: indices i of b with 0 <= offset + i < a.length.
    const int first = std::max(0, -offset);
    const int end = static_cast<int>(std::min<long long>(Used(b), static_cast<long long>(Used(a)) - offset));
    int matches = 0;
    for (int i = first; i < end; ++i) matches += a->items[offset + i] == b->items[i];
    return matches;
}

int SAMPLEBestOffset(const SAMPLE* a, const SAMPLE* b) {
    if (!HasValues(a) || !HasValues(b)) {
        SAMPLEError();
        return 0;
    }
    int best = 0;
    int result = -Used(b);
    for (long long offset = 1LL - Used(b); offset < Used(a); ++offset) {
        const int matches = SAMPLEMatches(a, b, static_cast<int>(offset));
        if (matches > best) {
            best = matches;
            result = static_cast<int>(offset);
        }
    }
    return result;
}

namespace {
// Raw sound beyond this many values (25 minutes at 44100 Hz) is refused: a clear bound, so that
// an endless input such as a device fails soon instead of exhausting memory.
constexpr int kRawLimit = 1 << 26;
} // namespace

SAMPLE* SAMPLEReadRaw(std::FILE* file, int width, char order, char sign) {
    if (!file || (width != 8 && width != 16) || (order != 'b' && order != 'l') || (sign != 's' && sign != 'u')) {
        SAMPLEError();
        return nullptr;
    }
    SAMPLE* s = SAMPLENew();
    if (!s) return nullptr;
    SAMPLESetCapacity(s, 1024);
    if (s->capacity != 1024) {
        SAMPLEFree(&s);
        SAMPLEError();
        return nullptr;
    }
    unsigned char chunk[65536];
    int pending = -1; // the first byte of a 16-bit pair split between two reads
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        for (size_t i = 0; i < got; ++i) {
            int32_t value;
            if (width == 8) {
                const int byte = chunk[i];
                value = sign == 's' ? static_cast<int8_t>(byte) * 256 : byte * 256 - 0x8000;
            } else {
                if (pending < 0) {
                    pending = chunk[i];
                    continue;
                }
                const int first = pending;
                const int second = chunk[i];
                pending = -1;
                const int word = order == 'b' ? (first << 8) | second : (second << 8) | first;
                value = sign == 's' ? static_cast<int16_t>(word) : word - 0x8000;
            }
            if (s->length == s->capacity) {
                if (s->capacity >= kRawLimit) { // an endless input such as a device ends here
                    SAMPLEFree(&s);
                    SAMPLEError();
                    return nullptr;
                }
                SAMPLESetCapacity(s, std::min(2 * s->capacity, kRawLimit));
                if (s->length == s->capacity) { // no room for the rest: fail rather than cut it short
                    SAMPLEFree(&s);
                    return nullptr;
                }
            }
            s->items[s->length++] = value;
        }
    }
    // The array ends at the values read, not at the last doubling.
    const int keep = std::max(s->length, 1);
    if (auto* trimmed = static_cast<int32_t*>(std::realloc(s->items, size_t(keep) * sizeof(int32_t)))) {
        s->items = trimmed;
        s->capacity = keep;
    }
    return s;
}

void SAMPLEWriteRaw(const SAMPLE* s, std::FILE* file, int width, char order) {
    if (!HasValues(s) || !file) {
        SAMPLEError();
        return;
    }
    int bytes = 2;
    int32_t lo = -32768, hi = 32767;
    if (width == 8) {
        bytes = 1, lo = -128, hi = 127;
    } else if (width == 24) {
        bytes = 3, lo = -8388608, hi = 8388607;
    } else if (width == 32) {
        bytes = 4, lo = -2147483647, hi = 2147483647;
    }
    const bool big = order == 'b';
    unsigned char buffer[4096];
    unsigned char* out = buffer;
    const int length = Used(s);
    for (int i = 0; i < length; ++i) {
        PutBytes(out, Unsigned(std::clamp(s->items[i], lo, hi)), bytes, big);
        if (out + 4 > buffer + sizeof buffer || i == length - 1) {
            const size_t n = static_cast<size_t>(out - buffer);
            if (std::fwrite(buffer, 1, n, file) != n) {
                SAMPLEError();
                return;
            }
            out = buffer;
        }
    }
}

void SAMPLENormalize(SAMPLE* s, int lo, int hi) {
    if (!HasValues(s)) {
        SAMPLEError();
        return;
    }
    const long long m = SAMPLEMin(s);
    const long long spread = SAMPLEMax(s) - m;
    // 64-bit steps: wherever the 32-bit form of this mapping fits it gives the same values, and
    // a wide range (the whole 16-bit one, say) cannot wrap into nonsense.
    const long long factor = spread == 0 ? 0 : (static_cast<long long>(hi) - lo) * 65536 / spread;
    for (int i = Used(s) - 1; i >= 0; --i) {
        s->items[i] = static_cast<int32_t>(lo + (((s->items[i] - m) * factor) >> 16));
    }
}

void SAMPLEScale(SAMPLE* s, int k) {
    if (!HasValues(s)) {
        SAMPLEError();
        return;
    }
    int32_t* v = s->items;
    const int length = Used(s);
    for (int i = 0; i < length; ++i) v[i] = wrap::Mul(v[i], k);
}

void SAMPLEResample(SAMPLE* s, int n) {
    if (!HasValues(s) || n <= 0 || n == s->length || s->length <= 0) {
        SAMPLEError();
        return;
    }
    int32_t* out = Allocate(n);
    if (!out) {
        SAMPLEError();
        return;
    }
    const int length = s->length;
    if (n > length) {
        // Stretching: each value repeated evenly, driven by an error term.
        long long error = static_cast<long long>(length) - n;
        int j = 0;
        for (int i = 0; i < n; ++i) {
            if (error > 0) {
                error -= n;
                if (j < length - 1) ++j;
            }
            out[i] = s->items[j];
            error += length;
        }
    } else {
        for (int i = 0; i < n; ++i) out[i] = s->items[static_cast<long long>(i) * length / n];
    }
    Install(s, out, n);
    s->length = n;
}

void SAMPLEMultiply(SAMPLE* dst, const SAMPLE* src) {
    if (!HasValues(dst) || !HasValues(src)) {
        SAMPLEError();
        return;
    }
    const int n = std::min(Used(dst), Used(src));
    for (int i = 0; i < n; ++i) dst->items[i] = wrap::Mul(dst->items[i], src->items[i]);
}

int SAMPLEMin(const SAMPLE* s) {
    if (!HasValues(s)) {
        SAMPLEError();
        return 0;
    }
    if (Used(s) == 0) return 0;
    return *std::min_element(s->items, s->items + Used(s));
}

int SAMPLEMax(const SAMPLE* s) {
    if (!HasValues(s)) {
        SAMPLEError();
        return 0;
    }
    if (Used(s) == 0) return 0;
    return *std::max_element(s->items, s->items + Used(s));
}

void SAMPLEReverse(SAMPLE* s) {
    if (!HasValues(s)) {
        SAMPLEError();
        return;
    }
    std::reverse(s->items, s->items + Used(s));
}

void SAMPLESet(SAMPLE* s, int value, int i) {
    if (!HasValues(s) || i >= s->length || i < 0) {
        SAMPLEError();
        return;
    }
    s->items[i] = value;
}

int SAMPLEFind(const SAMPLE* s, int value, int start) {
    if (!HasValues(s) || start >= s->length || start < 0) {
        SAMPLEError();
        return -1;
    }
    for (int i = start; i < s->length; ++i) {
        if (s->items[i] == value) return i;
    }
    return -1;
}

void SAMPLEInsertValue(SAMPLE* s, int value, int i) {
    if (!HasValues(s) || i > s->length || i < 0) {
        SAMPLEError();
        return;
    }
    if (s->length >= s->capacity) {
        if (s->capacity > INT_MAX / 2) {
            SAMPLEError();
            return;
        }
        SAMPLESetCapacity(s, 2 * s->capacity);
        if (s->length >= s->capacity) return; // no room: the value cannot go in
    }
    s->length += 1;
    SAMPLEMove(s, s, s->length - 1 - i, i, i + 1);
    s->items[i] = value;
}

void SAMPLERemoveValue(SAMPLE* s, int i) {
    if (!HasValues(s) || i >= s->length || i < 0) {
        SAMPLEError();
        return;
    }
    SAMPLEMove(s, s, s->length - i - 1, i + 1, i);
    s->length -= 1;
}

SAMPLE* SAMPLEReadNumbers(const char* text) {
    if (!text) {
        SAMPLEError();
        return nullptr;
    }
    SAMPLE* s = SAMPLENew();
    if (!s) return nullptr;
    for (const char* p = text; *p;) {
        if (!IsDigit(*p) && !(*p == '-' && IsDigit(p[1]))) {
            ++p;
            continue;
        }
        const bool negative = *p == '-';
        if (negative) ++p;
        const uint32_t magnitude = ReadDigits(&p);
        const int before = s->length;
        SAMPLEInsertValue(s, wrap::Signed(negative ? 0u - magnitude : magnitude), before);
        if (s->length == before) { // out of memory: no partial result
            SAMPLEFree(&s);
            return nullptr;
        }
    }
    return s;
}
