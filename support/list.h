// An ordered, growable array of untyped pointers. The list never owns, inspects or releases
// what its items point to; null items may be stored.
#pragma once

struct LIST {
    int capacity; // slots allocated in items: 2 at creation, doubled by each growth
    int count;    // slots in use: items[0] .. items[count - 1]
    void** items;
};

LIST* LISTNew();
void LISTFree(LIST** list);
bool LISTEqual(const LIST* a, const LIST* b);
LIST* LISTCopy(const LIST* src);
char* LISTToASCII(const LIST* list);
LIST* LISTFromASCII(const char* text);
void* LISTPop(LIST* list);
void LISTAppend(LIST* list, void* item);
void LISTInsert(LIST* list, void* item, int index);
void LISTRemove(LIST* list, int index);
void* LISTGet(const LIST* list, int index);
void LISTSet(LIST* list, void* item, int index);
int LISTFind(const LIST* list, const void* item);
LIST* LISTCopyRange(const LIST* list, int first, int end);
void LISTRemoveRange(LIST* list, int first, int end);
void LISTInsertRange(const LIST* src, LIST* dst, int first, int end, int at);
bool LISTGrow(LIST* list);
void LISTError();
