#include "support/text.h"

#include <cstdio>
#include <cstdlib>

#include "support/identity.h"

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("TEXT", "20110509", "OrvilleK", "C++", "CODE");
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

int TEXTFileSize(const char* name) {
    std::FILE* file = std::fopen(name, "rb");
    if (!file) return -1;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    std::fclose(file);
    // The size is an int: a file too large for it cannot be held as one text.
    return size >= 0 && size < 0x7FFFFFFF ? static_cast<int>(size) : -1;
}

char* TEXTRead(const char* name) {
    const int size = TEXTFileSize(name);
    if (size < 0) return nullptr;
    auto* text = static_cast<char*>(std::calloc(static_cast<size_t>(size) + 1, 1));
    if (!text) return nullptr;
    std::FILE* file = std::fopen(name, "rb");
    if (!file) {
        std::free(text);
        return nullptr;
    }
    // A file that shrank since it was measured leaves zeros behind: still terminated.
    const size_t got = std::fread(text, 1, static_cast<size_t>(size), file);
    std::fclose(file);
    text[got] = '\0';
    return text;
}

void TEXTWrite(const char* text, const char* name) {
    std::FILE* file = std::fopen(name, "wb");
    if (!file) return;
    std::fwrite(text, 1, static_cast<size_t>(TEXTLength(text)), file);
    std::fclose(file);
}
