// Zero-terminated inputs through BYTEMAPFromPNM. The memory reader has only a pointer: the
// header and text rasters end at the zero, but a binary raster is taken by count and must be
// there. So an input whose header declares a binary raster gets that raster's bytes padded with
// zeros behind it (rasters over 256 KiB are skipped to keep the runs quick), and the fuzzer
// explores headers and text rasters freely without the harness itself making the reader run off
// the buffer.
#include <cstdint>
#include <vector>

#include "bytemap/bytemap.h"
#include "raster/pnm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<unsigned char> bytes(data, data + size);
    bytes.push_back(0);

    pnm::MemorySource probe(bytes.data());
    pnm::Header header;
    if (pnm::ReadMemoryHeader(probe, header, pnm::Grammar::kLenient) && !pnm::IsText(header.kind)) {
        const size_t offset = size_t(probe.Position() - bytes.data());
        const size_t raster = pnm::MinimumRasterBytes(header, true);
        if (raster > (size_t(256) << 10)) return 0;
        if (bytes.size() < offset + raster) bytes.resize(offset + raster, 0);
    }
    BYTEMAP* map = BYTEMAPFromPNM(bytes.data());
    if (map) BYTEMAPFree(&map);
    return 0;
}
