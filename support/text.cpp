#include "support/text.h"

#include <cstdio>
#include <cstdlib>

#include "support/identity.h"

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("TEXT", "20110509", "OrvilleK", "C++", "CODE");
constexpr bool debug = false;
} // namespace

void TEXTError() {
    if (debug) std::printf("TEXT Error.\n");
}

int TEXTLength(const char* text) {
    int n = 0;
    while (text[n] != '\0') ++n;
    return n;
}

int TEXTLineCount(const char* text) {
    int lines = 0;
    for (; *text; ++text) lines += *text == '\n';
    return lines;
}

int TEXTWidth(const char* text) {
    int widest = 0;
    int current = 0;
    for (; *text; ++text) {
        if (*text == '\n') {
            if (current > widest) widest = current;
            current = 0;
        } else {
            ++current;
        }
    }
    return widest;
}

void TEXTToUpper(char* text) {
    for (; *text; ++text) {
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 32);
    }
}

namespace {
// A pipe, a device or a file of /proc cannot tell its size (seeking fails, or says 0): such a
// file is read by reading, up to this many bytes, and refused beyond them, never taken as empty.
constexpr size_t kUnmeasuredLimit = size_t(1) << 24;

// What seeking to the end tells of the file's size, leaving it at its start: the size when
// above 0; 0 when it cannot tell (or is empty); -1 when too large for a text.
long Seek(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return 0;
    const long size = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0 || size < 0) return 0;
    return size < 0x7FFFFFFF ? size : -1;
}

// The rest of a file that could not tell its size, as a malloc'ed zero-terminated text, or
// null past the limit, on a read error or when memory runs out.
char* ReadUnmeasured(std::FILE* file, size_t* length) {
    size_t used = 0, capacity = 4096;
    auto* text = static_cast<char*>(std::malloc(capacity));
    while (text) {
        const size_t got = std::fread(text + used, 1, capacity - 1 - used, file);
        used += got;
        if (got == 0) break;
        if (used > kUnmeasuredLimit) break;
        if (used + 1 == capacity) {
            auto* grown = static_cast<char*>(std::realloc(text, 2 * capacity));
            if (!grown) break;
            text = grown;
            capacity *= 2;
        }
    }
    if (text && (std::ferror(file) || used > kUnmeasuredLimit || !std::feof(file))) {
        std::free(text);
        return nullptr;
    }
    if (text) text[used] = '\0';
    if (length) *length = used;
    return text;
}
} // namespace

int TEXTFileSize(const char* name) {
    std::FILE* file = std::fopen(name, "rb");
    if (!file) return -1;
    long size = Seek(file);
    if (size == 0) {
        size_t length = 0;
        char* text = ReadUnmeasured(file, &length);
        size = text ? long(length) : -1;
        std::free(text);
    }
    std::fclose(file);
    return int(size);
}

char* TEXTRead(const char* name) {
    std::FILE* file = std::fopen(name, "rb");
    if (!file) return nullptr;
    const long size = Seek(file);
    char* text = nullptr;
    if (size == 0) {
        text = ReadUnmeasured(file, nullptr);
    } else if (size > 0 && (text = static_cast<char*>(std::calloc(static_cast<size_t>(size) + 1, 1)))) {
        // A file that shrank since it was measured leaves zeros behind: still terminated.
        const size_t got = std::fread(text, 1, static_cast<size_t>(size), file);
        text[got] = '\0';
    }
    std::fclose(file);
    return text;
}

void TEXTWrite(const char* text, const char* name) {
    std::FILE* file = std::fopen(name, "wb");
    if (!file) return;
    std::fwrite(text, 1, static_cast<size_t>(TEXTLength(text)), file);
    std::fclose(file);
}
