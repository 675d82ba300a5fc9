// CURSOR: a wrap-around index over a run of data, in practice the characters of a text.
// Moving past either end comes back in at the other, so a text can be walked as a ring.
//
// Refused calls (a null cursor, a cursor over no data) are reported through CURSORError, which
// is silent unless the module's debug switch is on, and change nothing.
#pragma once

struct CURSOR {
    int position;     // kept in 0 .. length - 1 by everything that moves it
    int step;         // added to the position by CURSORStep
    int unit;         // bytes per element, used by CURSORAddress
    int length;       // elements in the data
    const char* data; // borrowed, never freed by the cursor
    int saved;        // written by CURSORSave, survives CURSORSet
};

CURSOR* CURSORNew(); // over the module's default text, step 1; null when memory runs out
void CURSORFree(CURSOR** cursor);
void CURSORSet(CURSOR* cursor, const char* data, int length, int unit, int step);
void CURSORStep(CURSOR* cursor);
void CURSORSetPosition(CURSOR* cursor, int index);
void CURSORSave(CURSOR* cursor);
void CURSORRestore(CURSOR* cursor);
const char* CURSORAddress(const CURSOR* cursor); // the element at the position, or null
void CURSORError();
