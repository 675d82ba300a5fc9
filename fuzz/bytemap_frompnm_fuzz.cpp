// Any bytes through BYTEMAPFromPNMSize, which must read no further than their size (the
// sanitizer sees every byte beyond). Oracles: what it accepts, the unbounded BYTEMAPFromPNM
// reads the same from a zero-terminated copy; and the map's text form holds a plain P3 image
// that the reader takes back to the same map.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bytemap/bytemap.h"
#include "fuzz/harness.h"

using harness::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BYTEMAP* map = BYTEMAPFromPNMSize(data, size);
    if (!map) return 0;
    std::vector<unsigned char> terminated(data, data + size);
    terminated.push_back(0);
    BYTEMAP* unbounded = BYTEMAPFromPNM(terminated.data());
    Require(harness::Equal(map, unbounded));
    BYTEMAPFree(&unbounded);

    char* text = BYTEMAPToASCII(map);
    Require(text != nullptr);
    BYTEMAP* back = BYTEMAPFromPNM(reinterpret_cast<const unsigned char*>(text) + 9); // behind "BYTEMAP{\n"
    Require(harness::Equal(map, back));
    BYTEMAPFree(&back);
    std::free(text);
    BYTEMAPFree(&map);
    return 0;
}
