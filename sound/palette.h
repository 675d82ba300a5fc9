// PALETTE: colour tables for colour cycling. A palette is a SAMPLE whose values are colours
// 0x00RRGGBB, so every sample operation applies; this module adds creation, two colour
// wheels and rotation.
#pragma once

#include "sound/sample.h"

SAMPLE* PALETTENew(); // 256 black entries
void PALETTEFree(SAMPLE** palette);
void PALETTERotateRight(SAMPLE* palette, int k);
void PALETTERotateLeft(SAMPLE* palette, int k);
void PALETTERainbow256(SAMPLE* palette);  // coarse wheel: six runs of 42 steps of 6, then green
void PALETTERainbow1536(SAMPLE* palette); // fine wheel: six runs of 256 steps of 1
void PALETTEError();
