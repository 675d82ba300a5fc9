// The show's embedded assets: the exact bytes of the files in data/, compiled in so the
// program reads no file at run time. Each array is followed by one zero byte that the size
// does not count, so the scroll text is a C string and every Netpbm header can be scanned
// as text; binary rasters are read by count.
#pragma once

extern const unsigned char ASSETFont[];     extern const int ASSETFontSize;     // font.ppm: 1024 x 128, 32 x 32 cells for codes 0..127
extern const unsigned char ASSETSpray[];    extern const int ASSETSpraySize;    // spray.pgm: 64 x 256, four glows, largest first
extern const unsigned char ASSETLogo[];     extern const int ASSETLogoSize;     // logo.ppm: 128 x 32
extern const unsigned char ASSETCorner[];   extern const int ASSETCornerSize;   // corner.ppm: 128 x 32, the pale logo
extern const unsigned char ASSETBadge[];    extern const int ASSETBadgeSize;    // badge.ppm: 64 x 64
extern const unsigned char ASSETRotozoom[]; extern const int ASSETRotozoomSize;  // rotozoom.pbm: 16 x 16 plain bitmap
extern const unsigned char ASSETScroll[];   extern const int ASSETScrollSize;   // scroll.txt: 1286 characters, no line end
