// IMG: the system's picture, width x height pixel words 0x00RRGGBB stored row-major from the
// top-left corner. The value 0 is black and also the transparent key of the copies that skip it.
//
// Operations never stop the program: a refused argument is reported through IMGError (silent
// unless the module's debug switch is on) and leaves every picture unchanged. Point lists and
// count tables returned here are malloc'ed; the caller releases them with free().
#pragma once
#include <cstddef>
#include <cstdint>

struct IMG {
    int x, y, z;                // placement words kept for the caller; the module never reads them
    int width, height, depth;   // depth is always 0
    uint32_t* pixels;           // width * height words, owned by the record
};

// Core
IMG* IMGNew(); // 16 x 16, black
void IMGFree(IMG** img);
void IMGSetSize(IMG* img, int width, int height);
void IMGClear(IMG* img);
void IMGSetPixel(IMG* img, int x, int y, uint32_t colour);
uint32_t IMGGetPixel(const IMG* img, int x, int y);
void IMGFade(IMG* img, uint32_t colour);
void IMGFillRect(IMG* img, int x, int y, int w, int h, uint32_t colour);
void IMGError();

// Rectangle compositing: source first, then destination, source corner, destination corner,
// size. All five clip the rectangle against both pictures in the same way.
void IMGBlitTransparent(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h);
void IMGBlit(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h);
void IMGBlitAdd(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h);
void IMGBlitAddSat(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h);
void IMGBlitSubSat(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h);

// Netpbm and text forms, equality, copies
IMG* IMGFromPNM(const unsigned char* bytes);
IMG* IMGFromPNMSize(const unsigned char* bytes, size_t size); // reads no further than size bytes
IMG* IMGReadPNM(const char* name);
bool IMGWritePPM(const IMG* img, const char* name);
char* IMGToASCII(const IMG* img);
IMG* IMGFromASCII(const char* text);
bool IMGEqual(const IMG* a, const IMG* b);
IMG* IMGCopy(const IMG* img);
void IMGCopyPixels(const IMG* src, IMG* dst);
int IMGFind(const char* text, const char* marker);

// Scaling, run tables, lines
void IMGScale(const IMG* src, IMG* dst);
int* IMGSpread(int a, int b);
int* IMGLinePoints(int x0, int y0, int x1, int y1); // [0] = 2 * points, then x, y pairs

// Further operations
IMG* IMGRotate(const IMG* src, int angle);
void IMGBlitHalf(const IMG* src, IMG* dst, int x, int y);
void IMGCopyRowWrap(const IMG* src, IMG* dst, int srcRow, int dstRow, int dstColumn);
void IMGOrRowWrap(const IMG* src, IMG* dst, int srcRow, int dstRow, int dstColumn);
void IMGCopyColumnWrap(const IMG* src, IMG* dst, int srcColumn, int dstColumn, int dstRow);
void IMGAnd(const IMG* src, IMG* dst);
void IMGBlitSpaced(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h, int stepX, int stepY);
void IMGDrawRect(IMG* img, int x, int y, int w, int h, uint32_t colour);
void IMGCopyRow(const IMG* src, IMG* dst, int srcRow, int dstRow);
void IMGDrawCircle(IMG* img, int cx, int cy, int r, uint32_t colour);
void IMGInvert(IMG* img);
int* IMGSpreadEnds(int a, int b);
