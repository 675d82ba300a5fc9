#include "record/wav.h"

namespace {
constexpr uint32_t kRate = 44100;

void Put32(uint8_t* at, uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(v >> (8 * i));
}

void Header(uint8_t (&h)[44], uint32_t dataBytes) {
    const uint8_t fixed[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                               16,  0,   0,   0,   1, 0, 1, 0, 0,   0,   0,   0,   0,   0,   0,   0,
                               2,   0,   16,  0,   'd', 'a', 't', 'a', 0, 0, 0, 0};
    for (int i = 0; i < 44; ++i) h[i] = fixed[i];
    Put32(h + 4, 36 + dataBytes);
    Put32(h + 24, kRate);
    Put32(h + 28, kRate * 2); // bytes a second: one 16-bit channel
    Put32(h + 40, dataBytes);
}
} // namespace

bool WAVOpen(WAVWRITER& wav, const char* name) {
    wav = WAVWRITER{};
    wav.file = std::fopen(name, "wb");
    if (!wav.file) return false;
    uint8_t h[44];
    Header(h, 0);
    wav.failed = std::fwrite(h, 1, sizeof h, wav.file) != sizeof h;
    return !wav.failed;
}

bool WAVAppend(WAVWRITER& wav, const uint8_t* sound, size_t bytes) {
    if (!wav.file || wav.failed) return false;
    wav.failed = std::fwrite(sound, 1, bytes, wav.file) != bytes;
    wav.bytes += bytes;
    return !wav.failed;
}

bool WAVClose(WAVWRITER& wav) {
    if (!wav.file) return false;
    bool ok = !wav.failed && wav.bytes <= 0xFFFFFFFFull - 36;
    if (ok) {
        uint8_t h[44];
        Header(h, uint32_t(wav.bytes));
        ok = std::fseek(wav.file, 0, SEEK_SET) == 0 && std::fwrite(h, 1, sizeof h, wav.file) == sizeof h;
    }
    if (std::fclose(wav.file) != 0) ok = false;
    wav.file = nullptr;
    return ok;
}
