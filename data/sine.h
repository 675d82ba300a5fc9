// One turn of sine in 1024 steps, amplitude 32766. Angles are reduced with SINEMask
// before indexing, so any integer angle (negative too) is valid; cosine(a) = SINE[(a + 256) & SINEMask].
#pragma once
#include <cstdint>

extern const int16_t SINE[1024];
extern const int SINELength; // 1024
extern const int SINEMask;   // 1023
