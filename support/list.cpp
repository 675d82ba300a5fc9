#include "support/list.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/identity.h"
#include "support/sizes.h"

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("LIST", "20110509", "OrvilleK", "C++", "CODE");
unsigned char debug = 0;

// Grows until at least `needed` slots exist; false (list untouched) when growth fails.
bool Reserve(LIST* list, long long needed) {
    while (list->capacity < needed) {
        if (!LISTGrow(list)) return false;
    }
    return true;
}
} // namespace

void LISTError() {
    if (debug) std::printf("LIST error\n");
}

LIST* LISTNew() {
    auto* list = static_cast<LIST*>(std::calloc(1, sizeof(LIST)));
    if (!list) {
        LISTError();
        return nullptr;
    }
    list->items = static_cast<void**>(std::calloc(2, sizeof(void*)));
    if (!list->items) {
        std::free(list);
        LISTError();
        return nullptr;
    }
    list->capacity = 2;
    return list;
}

void LISTFree(LIST** list) {
    if (!list || !*list) {
        LISTError();
        return;
    }
    std::free((*list)->items);
    (*list)->items = nullptr;
    (*list)->capacity = 0;
    (*list)->count = 0;
    std::free(*list);
    *list = nullptr;
}

bool LISTEqual(const LIST* a, const LIST* b) {
    if (a == b) return true;
    if (!a || !b || a->count != b->count) return false;
    for (int i = 0; i < a->count; ++i) {
        if (a->items[i] != b->items[i]) return false;
    }
    return true;
}

LIST* LISTCopy(const LIST* src) {
    if (!src) {
        LISTError();
        return nullptr;
    }
    LIST* copy = LISTNew();
    if (!copy) return nullptr;
    if (!Reserve(copy, src->count)) {
        LISTFree(&copy);
        return nullptr;
    }
    for (int i = 0; i < src->count; ++i) copy->items[copy->count++] = src->items[i];
    return copy;
}

char* LISTToASCII(const LIST* list) {
    if (!list) LISTError();
    return nullptr;
}

LIST* LISTFromASCII(const char* text) {
    if (!text) LISTError();
    return nullptr;
}

void* LISTPop(LIST* list) {
    if (!list || list->count == 0) {
        LISTError();
        return nullptr;
    }
    return list->items[--list->count];
}

void LISTAppend(LIST* list, void* item) {
    if (!list) {
        LISTError();
        return;
    }
    // A failed growth refuses the store: the list stays whole.
    if (list->count == list->capacity && !LISTGrow(list)) return;
    list->items[list->count++] = item;
}

void LISTInsert(LIST* list, void* item, int index) {
    if (!list || index < 0 || index > list->count) {
        LISTError();
        return;
    }
    if (!Reserve(list, static_cast<long long>(list->count) + 1)) return;
    for (int i = list->count; i > index; --i) list->items[i] = list->items[i - 1];
    list->items[index] = item;
    ++list->count;
}

void LISTRemove(LIST* list, int index) {
    if (!list || index < 0 || index >= list->count) {
        LISTError();
        return;
    }
    for (int i = index; i < list->count - 1; ++i) list->items[i] = list->items[i + 1];
    list->items[list->count - 1] = nullptr;
    --list->count;
}

void* LISTGet(const LIST* list, int index) {
    if (!list || index < 0 || index >= list->count) {
        LISTError();
        return nullptr;
    }
    return list->items[index];
}

void LISTSet(LIST* list, void* item, int index) {
    if (!list || index < 0 || index >= list->count) {
        LISTError();
        return;
    }
    list->items[index] = item;
}

int LISTFind(const LIST* list, const void* item) {
    if (!list || !item) {
        LISTError();
        return -1;
    }
    for (int i = 0; i < list->count; ++i) {
        if (list->items[i] == item) return i;
    }
    return -1;
}

LIST* LISTCopyRange(const LIST* list, int first, int end) {
    if (!list || first >= end || first < 0 || end > list->count) {
        LISTError();
        return nullptr;
    }
    LIST* copy = LISTNew();
    if (!copy) return nullptr;
    if (!Reserve(copy, end - first)) {
        LISTFree(&copy);
        return nullptr;
    }
    for (int i = first; i < end; ++i) copy->items[copy->count++] = list->items[i];
    return copy;
}

void LISTRemoveRange(LIST* list, int first, int end) {
    if (!list || first >= end || first < 0 || end > list->count) {
        LISTError();
        return;
    }
    const int n = end - first;
    for (int i = end; i < list->count; ++i) list->items[i - n] = list->items[i];
    list->count -= n;
}

void LISTInsertRange(const LIST* src, LIST* dst, int first, int end, int at) {
    if (!src || !dst || first >= end || first < 0 || end > src->count || at < 0 || at > dst->count) {
        LISTError();
        return;
    }
    const int n = end - first;
    // Inserting a list's own range into itself: growing would move the source slots and the
    // gap would overwrite them, so take the items aside first.
    void** taken = nullptr;
    if (src == dst) {
        size_t bytes = 0;
        if (sizes::Bytes(n, sizeof(void*), bytes)) taken = static_cast<void**>(std::malloc(bytes));
        if (!taken) {
            LISTError();
            return;
        }
        std::memcpy(taken, src->items + first, bytes);
    }
    if (!Reserve(dst, static_cast<long long>(dst->count) + n)) {
        std::free(taken);
        return;
    }
    void* const* from = taken ? taken : src->items + first;
    for (int i = dst->count - 1; i >= at; --i) dst->items[i + n] = dst->items[i];
    for (int k = n - 1; k >= 0; --k) dst->items[at + k] = from[k];
    dst->count += n;
    std::free(taken);
}

bool LISTGrow(LIST* list) {
    if (!list) {
        LISTError();
        return false;
    }
    // Doubling an int capacity past INT_MAX would wrap; treat it as running out of memory.
    if (list->capacity > INT_MAX / 2) {
        LISTError();
        return false;
    }
    const int capacity = list->capacity > 0 ? list->capacity * 2 : 2;
    auto* items = static_cast<void**>(std::calloc(static_cast<size_t>(capacity), sizeof(void*)));
    if (!items) {
        LISTError();
        return false;
    }
    for (int i = list->count - 1; i >= 0; --i) items[i] = list->items[i];
    std::free(list->items);
    list->items = items;
    list->capacity = capacity;
    return true;
}
