// SAMPLE: a growable run of signed 32-bit values and the signal operations the sound side is
// built from. Sound data stay within -32768 .. 32767; nothing saturates: additions,
// multiplications and left shifts wrap around in 32 bits.
//
// A record of this layout whose items point into static data is a valid source for every
// read-only operation; SAMPLECopy turns it into an owned sample.
//
// A refused call (null sample, a sample without values, an index or size out of range)
// changes nothing, reports through SAMPLEError and returns null, 0 or nothing.
#pragma once
#include <cstdint>
#include <cstdio>

struct SAMPLE {
    int length;     // values in use: items[0] .. items[length - 1]
    int capacity;   // values allocated in items
    int32_t* items; // null: the sample has no values
};

SAMPLE* SAMPLENew(); // length 0, capacity 32
void SAMPLEFree(SAMPLE** sample);
SAMPLE* SAMPLECopy(const SAMPLE* src);
void SAMPLESetCapacity(SAMPLE* sample, int n); // always reallocates; cuts the length to n
void SAMPLESetLength(SAMPLE* sample, int n);   // grows the capacity to exactly n when needed
void SAMPLEClear(SAMPLE* sample);
void SAMPLEAdd(SAMPLE* dst, const SAMPLE* src);
void SAMPLEShiftLeft(SAMPLE* sample, int n);  // n > 32 refused; count taken modulo 32
void SAMPLEShiftRight(SAMPLE* sample, int n); // arithmetic; n > 32 refused; count modulo 32
void SAMPLERotateRight(SAMPLE* sample, int k);
void SAMPLERotateLeft(SAMPLE* sample, int k);
void SAMPLEMove(const SAMPLE* src, SAMPLE* dst, int count, int from, int to);
int32_t SAMPLEGet(const SAMPLE* sample, int i);
void SAMPLEError();

char* SAMPLEToASCII(const SAMPLE* sample); // "SAMPLE{n\n" values "}\n"; release with free
SAMPLE* SAMPLEFromASCII(const char* text);
bool SAMPLEEqual(const SAMPLE* a, const SAMPLE* b);
void SAMPLESplice(SAMPLE* dst, const SAMPLE* src, int at);
SAMPLE* SAMPLECopyRange(const SAMPLE* sample, int first, int end);
int SAMPLEBestOffset(const SAMPLE* a, const SAMPLE* b);
int SAMPLEMatches(const SAMPLE* a, const SAMPLE* b, int offset);
// Width 8 or 16, 'b'/'l', 's'/'u'; null beyond 2^26 values.
SAMPLE* SAMPLEReadRaw(std::FILE* file, int width, char order, char sign);
void SAMPLEWriteRaw(const SAMPLE* sample, std::FILE* file, int width, char order);
void SAMPLENormalize(SAMPLE* sample, int lo, int hi);
void SAMPLEScale(SAMPLE* sample, int k);
void SAMPLEResample(SAMPLE* sample, int n);
void SAMPLEMultiply(SAMPLE* dst, const SAMPLE* src);
int SAMPLEMin(const SAMPLE* sample);
int SAMPLEMax(const SAMPLE* sample);
void SAMPLEReverse(SAMPLE* sample);
void SAMPLESet(SAMPLE* sample, int value, int i);
int SAMPLEFind(const SAMPLE* sample, int value, int start); // -1 when absent
void SAMPLEInsertValue(SAMPLE* sample, int value, int i);
void SAMPLERemoveValue(SAMPLE* sample, int i);

// Every signed decimal number of a text, in order; the length is the count read.
SAMPLE* SAMPLEReadNumbers(const char* text);
