// Netpbm files of any content through IMGReadPNM: no crash, no read past the file, no hang,
// and nothing allocated beyond what the file can fill.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "img/img.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/img_readpnm_fuzz_" + std::to_string(getpid()) + ".pnm";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    IMG* img = IMGReadPNM(path.c_str());
    if (img) {
        // Every pixel is reachable: a picture is never handed out with a short array.
        volatile uint32_t sum = 0;
        for (int i = 0; i < img->width * img->height; ++i) sum = sum + img->pixels[i];
        IMGFree(&img);
    }
    return 0;
}
