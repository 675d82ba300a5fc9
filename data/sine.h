// One turn of sine in 1024 steps, amplitude 32766. Angles are reduced with SINEMask
// before indexing, so any integer angle (negative too) is valid; cosine(a) = SINEAt(a + SINEQuarter).
#pragma once
#include <cstdint>

extern const int16_t SINE[1024];
extern const int SINELength; // 1024
extern const int SINEMask;   // 1023

// A quarter turn in table steps, from the table's own extent.
constexpr int SINEQuarter = int(sizeof SINE / sizeof SINE[0]) / 4;

// The sine of any angle: 64 bits, so a caller may negate or offset an int angle freely.
inline int SINEAt(int64_t angle) { return SINE[uint64_t(angle) & uint64_t(SINEMask)]; }
