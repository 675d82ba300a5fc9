// BYTEMAP: a grey map, width x height bytes (0 to 255) stored row-major from the top-left
// corner. The value 0 is the transparent key of the transfers that skip it.
//
// Operations never stop the program: a null map, or one without data, is refused by every
// operation that touches its pixels; a refused call reports through BYTEMAPError (silent unless
// the module's debug switch is on), changes nothing and returns null, 0 or nothing. Drawing that
// partly leaves a map is clipped silently. Texts, tables and point lists returned here are
// malloc'ed; the caller releases them with free().
#pragma once
#include <cstddef>
#include <cstdint>

#include "img/img.h"
#include "sound/sample.h"

struct BYTEMAP {
    int x, y, z;              // placement: where the map is drawn onto something else; z unused
    int width, height, depth; // depth unused
    uint8_t* data;            // width * height bytes, owned by the record
};

// Record
BYTEMAP* BYTEMAPNew(); // 16 x 16, all 0, at (0, 0)
void BYTEMAPFree(BYTEMAP** map);
int BYTEMAPEqual(const BYTEMAP* a, const BYTEMAP* b); // size and bytes; positions are not compared
BYTEMAP* BYTEMAPCopy(const BYTEMAP* map);             // the copy starts at (0, 0)
void BYTEMAPCopyPixels(const BYTEMAP* src, BYTEMAP* dst);
void BYTEMAPSetSize(BYTEMAP* map, int width, int height); // all 0; a size that cannot be held is refused
void BYTEMAPClear(BYTEMAP* map);
void BYTEMAPError();

// Points, lines and shapes; values are taken as bytes
int BYTEMAPGetPixel(const BYTEMAP* map, int x, int y); // 0 outside the map
void BYTEMAPSetPixel(BYTEMAP* map, int x, int y, int v);
void BYTEMAPHLine(BYTEMAP* map, int x, int y, int length, int v); // columns x .. x + length
void BYTEMAPVLine(BYTEMAP* map, int x, int y, int length, int v); // rows y .. y + length
void BYTEMAPLine(BYTEMAP* map, int x0, int y0, int x1, int y1, int v); // the end point is not drawn
void BYTEMAPFillRect(BYTEMAP* map, int x, int y, int w, int h, int v); // wholly inside, or refused
void BYTEMAPFillRectClipped(BYTEMAP* map, int x, int y, int w, int h, int v); // negative w, h reach back
void BYTEMAPDrawRect(BYTEMAP* map, int x, int y, int w, int h, int v);       // wholly inside, or refused
void BYTEMAPDrawCircle(BYTEMAP* map, int cx, int cy, int r, int v);
int* BYTEMAPLinePoints(int x0, int y0, int x1, int y1); // [0] = 2 * points, then x, y pairs

// Transfers: source first, then target, source corner, target corner, size
void BYTEMAPBlitTransparent(const BYTEMAP* src, BYTEMAP* dst, int sx, int sy, int tx, int ty, int w, int h);
void BYTEMAPBlit(const BYTEMAP* src, BYTEMAP* dst, int sx, int sy, int tx, int ty, int w, int h);
void BYTEMAPBlitHalf(const BYTEMAP* src, BYTEMAP* dst, int x, int y);
void BYTEMAPBlitSpaced(const BYTEMAP* src, BYTEMAP* dst, int sx, int sy, int tx, int ty, int w, int h, int stepX,
                       int stepY);
void BYTEMAPCopyRowWrap(const BYTEMAP* src, BYTEMAP* dst, int srcRow, int dstRow, int offset);
void BYTEMAPOrRowWrap(const BYTEMAP* src, BYTEMAP* dst, int srcRow, int dstRow, int offset);
void BYTEMAPCopyColumnWrap(const BYTEMAP* src, BYTEMAP* dst, int srcColumn, int dstColumn, int offset);
void BYTEMAPAnd(const BYTEMAP* mask, BYTEMAP* map);

// Every pixel
void BYTEMAPAdd(BYTEMAP* map, int amount);  // wraps modulo 256
void BYTEMAPFade(BYTEMAP* map, int amount); // stops at 0
void BYTEMAPInvert(BYTEMAP* map);
void BYTEMAPReplace(BYTEMAP* map, int old, int replacement);
void BYTEMAPLookup(BYTEMAP* map, const BYTEMAP* table); // the table holds at least 256 bytes
void BYTEMAPNoise(BYTEMAP* map, int base, int mask);     // draws from the shared random generator

// Geometry and colour
void BYTEMAPScale(const BYTEMAP* src, BYTEMAP* dst); // into the target's own size
int* BYTEMAPSpread(int a, int b);
BYTEMAP* BYTEMAPRotate(const BYTEMAP* src, int angle);
void BYTEMAPToIMG(const BYTEMAP* map, IMG* img, const SAMPLE* palette); // palette of 256 or more colours

// Text form and Netpbm files
char* BYTEMAPToASCII(const BYTEMAP* map);
BYTEMAP* BYTEMAPFromASCII(const char* text);
BYTEMAP* BYTEMAPReadPNM(const char* name);
BYTEMAP* BYTEMAPFromPNM(const unsigned char* bytes); // binary rasters must be there in full
BYTEMAP* BYTEMAPFromPNMSize(const unsigned char* bytes, size_t size); // reads no further than size bytes
int BYTEMAPWritePGM(const BYTEMAP* map, const char* name);
int BYTEMAPFind(const char* text, const char* keyword);
