// Zero-terminated texts through BYTEMAPFromASCII. Oracles: what it accepts survives the text
// form both ways unchanged; and where the P3 image inside has a header the Netpbm reader reads
// the same way, that reader gives the same map.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bytemap/bytemap.h"
#include "fuzz/harness.h"

using harness::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size); // c_str() adds the zero
    BYTEMAP* map = BYTEMAPFromASCII(text.c_str());
    if (!map) return 0;
    char* again = BYTEMAPToASCII(map);
    Require(again != nullptr);
    if (map->width * map->height > 0) {
        BYTEMAP* back = BYTEMAPFromASCII(again);
        Require(harness::Equal(map, back));
        BYTEMAPFree(&back);
        if (const char* body = harness::NetpbmBody(text.c_str(), "BYTEMAP")) {
            BYTEMAP* netpbm = BYTEMAPFromPNMSize(reinterpret_cast<const unsigned char*>(body), std::strlen(body));
            Require(harness::Equal(map, netpbm));
            BYTEMAPFree(&netpbm);
        }
    }
    std::free(again);
    BYTEMAPFree(&map);
    return 0;
}
