// Netpbm files of any content through BYTEMAPReadPNM: no crash, no read past the file, no hang,
// and nothing allocated beyond what the file can fill.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "bytemap/bytemap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/bytemap_readpnm_fuzz_" + std::to_string(getpid()) + ".pnm";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    BYTEMAP* map = BYTEMAPReadPNM(path.c_str());
    if (map) {
        // Every pixel is reachable: a map is never handed out with a short store.
        volatile unsigned sum = 0;
        for (int i = 0; i < map->width * map->height; ++i) sum = sum + map->data[i];
        BYTEMAPFree(&map);
    }
    return 0;
}
