// Zero-terminated inputs through IMGFromPNM. The memory reader has only a pointer: text
// rasters end at the zero, but a binary raster is taken by count and must be there. So an input
// whose header declares a binary raster gets that raster's bytes padded with zeros behind it
// (rasters over 256 KiB are skipped to keep the runs quick), and the fuzzer explores headers and
// text rasters freely without the harness itself making the reader run off the buffer.
#include <cstdint>
#include <cstring>
#include <vector>

#include "img/img.h"
#include "raster/pnm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<unsigned char> bytes(data, data + size);
    bytes.push_back(0);

    pnm::MemorySource probe(bytes.data());
    pnm::Header header;
    if (pnm::ReadHeader(probe, header, pnm::NumberEnd::kKept) && !pnm::IsText(header.kind)) {
        if (header.kind == 4) { // the memory reader's whole-byte bitmap rows
            const int64_t rounded = (int64_t(header.width) + 7) / 8 * 8;
            if (rounded > INT32_MAX) return 0;
            header.width = int(rounded);
        }
        const size_t offset = size_t(probe.Position() - bytes.data());
        const size_t raster = pnm::MinimumRasterBytes(header, false);
        if (raster > (size_t(256) << 10)) return 0;
        if (bytes.size() < offset + raster) bytes.resize(offset + raster, 0);
    }
    IMG* img = IMGFromPNM(bytes.data());
    if (img) IMGFree(&img);
    return 0;
}
