#include "text/cursor.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "support/identity.h"

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("CURSOR", "20110509", "OrvilleK", "C++", "CODE");
unsigned char debug = 0;

constexpr char kDefaultText[] = "This is a CURSOR default data. ";
constexpr int kDefaultLength = int(sizeof kDefaultText) - 1;

// index mod length in 0 .. length - 1; 64-bit so position + step cannot overflow.
int Modulo(int64_t index, int length) {
    int64_t r = index % length;
    if (r < 0) r += length;
    return int(r);
}
} // namespace

void CURSORError() {
    if (debug) std::printf("CURSOR Error.\n");
}

CURSOR* CURSORNew() {
    auto* cursor = static_cast<CURSOR*>(std::calloc(1, sizeof(CURSOR)));
    if (!cursor) {
        CURSORError();
        return nullptr;
    }
    CURSORSet(cursor, kDefaultText, kDefaultLength, 1, 1);
    return cursor;
}

void CURSORFree(CURSOR** cursor) {
    if (!cursor || !*cursor) {
        CURSORError();
        return;
    }
    std::free(*cursor);
    *cursor = nullptr;
}

void CURSORSet(CURSOR* cursor, const char* data, int length, int unit, int step) {
    // A negative length, or elements promised where there is no data, could only be walked
    // out of bounds later; an empty run is kept, and refused by whatever would move over it.
    if (!cursor || length < 0 || (length > 0 && !data)) {
        CURSORError();
        return;
    }
    cursor->data = data;
    cursor->length = length;
    cursor->unit = unit;
    cursor->step = step;
    cursor->position = 0;
}

void CURSORStep(CURSOR* cursor) {
    if (!cursor || cursor->length <= 0) {
        CURSORError();
        return;
    }
    cursor->position = Modulo(int64_t(cursor->position) + cursor->step, cursor->length);
}

void CURSORSetPosition(CURSOR* cursor, int index) {
    if (!cursor || cursor->length <= 0) {
        CURSORError();
        return;
    }
    cursor->position = Modulo(index, cursor->length);
}

void CURSORSave(CURSOR* cursor) {
    if (!cursor) {
        CURSORError();
        return;
    }
    cursor->saved = cursor->position;
}

void CURSORRestore(CURSOR* cursor) {
    if (!cursor) {
        CURSORError();
        return;
    }
    // The saved position survives CURSORSet, so it may lie beyond shorter data set since.
    cursor->position = cursor->length > 0 ? Modulo(cursor->saved, cursor->length) : 0;
}

const char* CURSORAddress(const CURSOR* cursor) {
    if (!cursor || !cursor->data) return nullptr;
    return cursor->data + int64_t(cursor->position) * cursor->unit;
}
