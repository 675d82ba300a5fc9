// Enlarging a picture by whole pixels: each pixel becomes a k x k block, crisp. Pixels of 1 to 4
// bytes in any layout (the screen's own), rows of any pitch; the hot loop of a present on an
// enlarged window or a full screen, so it allocates nothing and writes each block row once,
// then copies that row k - 1 times.
#pragma once
#include <cstdint>

// The w x h pixels of `bytes` bytes each at `from` (rows `fromPitch` bytes apart) into
// w·k x h·k pixels at `to` (rows `toPitch` bytes apart). The caller makes sure both fit.
void PlatformEnlarge(const uint8_t* from, int fromPitch, int w, int h, int bytes, uint8_t* to, int toPitch, int k);

// The largest whole factor by which a w x h picture fits a room of roomW x roomH, at least 1.
int PlatformFitFactor(int w, int h, int roomW, int roomH);
