// ROTOZOOM: fills a whole target picture with a texture repeated endlessly in both directions
// and turned by an angle. No trigonometry runs while drawing: two directions read from the sine
// table are walked as digital straight lines, one step along the first per target column and
// one along the second per target row. A line advances one whole unit along its major axis per
// point, so the texture shows at full size when the lines are axis-parallel and at about 0.71
// of that when they run diagonally: the picture pulses as it turns.
//
// Texture sides must be powers of two (coordinates wrap with a mask). Refused calls are reported
// through ROTOZOOMError (silent unless the debug switch is on) and change nothing.
#pragma once

#include "img/img.h"

struct ROTOZOOM {
    int x, y, z;              // placement words, unused by the drawing
    int width, height, depth; // copied from the target
    int angle;                // sine-table steps, 1024 a turn, kept in 0 .. 1023
    int step;                 // added to the angle by ROTOZOOMStep
    IMG* texture;             // owned: released when replaced and with the record
    IMG* target;              // borrowed
};

// 256 x 256, angle 0, step 1, no target, the module's own 16 x 16 bitmap as texture.
ROTOZOOM* ROTOZOOMNew();
void ROTOZOOMFree(ROTOZOOM** rotozoom);
void ROTOZOOMSet(ROTOZOOM* rotozoom, IMG* texture, IMG* target);
void ROTOZOOMSetTexture(ROTOZOOM* rotozoom, IMG* texture); // takes ownership
void ROTOZOOMSetTarget(ROTOZOOM* rotozoom, IMG* target);
void ROTOZOOMStep(ROTOZOOM* rotozoom);
void ROTOZOOMDraw(ROTOZOOM* rotozoom); // writes every target pixel, black texels included
void ROTOZOOMError();
