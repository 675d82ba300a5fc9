// What the fuzz targets share: files held in memory, pipes, and the small checks their oracles
// are built from. A failed oracle aborts, which libFuzzer reports as a finding.
#pragma once
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bytemap/bytemap.h"
#include "img/img.h"

namespace harness {

inline void Require(bool holds) {
    if (!holds) std::abort();
}

// A file that lives in memory (memfd) and that the readers and writers open by name: the runs
// touch no disk and leave nothing behind.
class MemoryFile {
public:
    explicit MemoryFile(const char* name) : fd_(memfd_create(name, 0)), path_("/proc/self/fd/" + std::to_string(fd_)) {}
    ~MemoryFile() {
        if (fd_ >= 0) close(fd_);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    // Replaces what the file holds; the name to open it by, or null.
    const char* Hold(const uint8_t* data, size_t size) {
        if (fd_ < 0 || ftruncate(fd_, 0) != 0) return nullptr;
        for (size_t at = 0; at < size;) {
            const ssize_t n = pwrite(fd_, data + at, size - at, off_t(at));
            if (n <= 0) return nullptr;
            at += size_t(n);
        }
        return path_.c_str();
    }
    const char* Name() const { return fd_ >= 0 ? path_.c_str() : nullptr; }

private:
    int fd_;
    std::string path_;
};

// One input in four, chosen by its bytes so that a finding reproduces.
inline bool NowAndThen(const uint8_t* data, size_t size) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
    return (hash >> 13) % 4 == 0;
}

// read(name) with the bytes waiting in a pipe whose writer has already closed: an input whose
// length cannot be measured. Inputs beyond the pipe's buffer give a null result unread.
template <typename Read>
auto ThroughPipe(const uint8_t* data, size_t size, Read read) -> decltype(read("")) {
    int fds[2];
    if (size > 65536 || pipe(fds) != 0) return nullptr;
    const bool written = size == 0 || write(fds[1], data, size) == ssize_t(size);
    close(fds[1]);
    auto result = written ? read(("/proc/self/fd/" + std::to_string(fds[0])).c_str()) : nullptr;
    close(fds[0]);
    return result;
}

// The kind digit of a header whose magic is its first token, or 0.
inline int KindOf(const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        const uint8_t c = data[i];
        if (c <= 0x20 || c >= 0x7F) continue;
        if (c == '#') {
            while (i < size && data[i] != '\n') ++i;
            continue;
        }
        return c == 'P' && i + 1 < size && data[i + 1] >= '1' && data[i + 1] <= '6' ? data[i + 1] - '0' : 0;
    }
    return 0;
}

// The same pixels in the columns both have. From memory a raw bitmap's rows are whole bytes, so
// its picture may be wider there, by the padding of the last byte.
template <typename Record, typename Pixel>
bool SameColumns(const Record* file, const Record* memory, const Pixel* filePixels, const Pixel* memoryPixels) {
    if (file->height != memory->height || memory->width < file->width || memory->width > (file->width + 7) / 8 * 8)
        return false;
    for (size_t y = 0; y < size_t(file->height); ++y) {
        if (std::memcmp(filePixels + y * size_t(file->width), memoryPixels + y * size_t(memory->width),
                        size_t(file->width) * sizeof(Pixel)) != 0)
            return false;
    }
    return true;
}
inline bool SameColumns(const IMG* file, const IMG* memory) {
    return SameColumns(file, memory, file->pixels, memory->pixels);
}
inline bool SameColumns(const BYTEMAP* file, const BYTEMAP* memory) {
    return SameColumns(file, memory, file->data, memory->data);
}

inline bool Equal(const IMG* a, const IMG* b) { return a && b ? IMGEqual(a, b) : a == b; }
inline bool Equal(const BYTEMAP* a, const BYTEMAP* b) { return a && b ? BYTEMAPEqual(a, b) == 1 : a == b; }

// Where the plain P3 image inside a text form starts, when its header is one the Netpbm reader
// reads the same way (the width, the height and the maximum, each followed by one separator)
// and no '#' follows, which the text form would take as samples; otherwise null.
inline const char* NetpbmBody(const char* text, const char* keyword) {
    const char* at = std::strstr(text, keyword);
    if (at) at = std::strstr(at + std::strlen(keyword), "{");
    if (at) at = std::strstr(at + 1, "P3\n");
    if (!at) return nullptr;
    const char* body = at;
    at += 3;
    for (int field = 0; field < 3; ++field) {
        const char* digits = at;
        while (*at >= '0' && *at <= '9') ++at;
        const unsigned char end = static_cast<unsigned char>(*at);
        if (at == digits || !end || (end > 0x20 && end < 0x7F) || at - body > 1000) return nullptr;
        ++at;
    }
    return std::strchr(at, '#') ? nullptr : body;
}

} // namespace harness
