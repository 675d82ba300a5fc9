// Reads raw mono sound (signed 16-bit little-endian samples, as `sox ... -t raw -e signed -b 16
// -L` writes it), stretches it to the whole 16-bit range and writes it as a WAV file.
#include <kelp2207/sound/sample.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
void Put16(std::FILE* file, uint32_t v) {
    std::fputc(int(v & 0xFF), file);
    std::fputc(int((v >> 8) & 0xFF), file);
}
void Put32(std::FILE* file, uint32_t v) {
    Put16(file, v & 0xFFFF);
    Put16(file, v >> 16);
}

// The 44-byte header of a PCM WAV file: mono, 16 bits a sample.
void PutHeader(std::FILE* file, uint32_t rate, uint32_t samples) {
    std::fputs("RIFF", file);
    Put32(file, 36 + 2 * samples);
    std::fputs("WAVEfmt ", file);
    Put32(file, 16);
    Put16(file, 1); // PCM
    Put16(file, 1); // one channel
    Put32(file, rate);
    Put32(file, 2 * rate); // bytes a second
    Put16(file, 2);        // bytes a frame
    Put16(file, 16);       // bits a sample
    std::fputs("data", file);
    Put32(file, 2 * samples);
}
} // namespace

int main(int argc, char** argv) {
    long rate = 44100;
    int first = 1;
    if (argc == 5 && std::strcmp(argv[1], "--rate") == 0) {
        char* end = nullptr;
        rate = std::strtol(argv[2], &end, 10);
        if (!*argv[2] || *end || rate < 1 || rate > 384000) rate = -1;
        first = 3;
    }
    if (argc != first + 2 || rate < 0) {
        std::fprintf(stderr, "usage: raw-to-wav [--rate HZ] INPUT.raw OUTPUT.wav (HZ 1 to 384000, default 44100)\n");
        return 2;
    }
    const char* input = argv[first];
    const char* output = argv[first + 1];

    std::FILE* in = std::fopen(input, "rb");
    if (!in) {
        std::fprintf(stderr, "raw-to-wav: cannot open %s\n", input);
        return 1;
    }
    SAMPLE* sound = SAMPLEReadRaw(in, 16, 'l', 's');
    std::fclose(in);
    // The data size must fit the header's 32 bits.
    if (!sound || sound->length < 1 || uint64_t(sound->length) * 2 + 36 > UINT32_MAX) {
        std::fprintf(stderr, "raw-to-wav: %s holds no sound that can be read, or more than a WAV file holds\n", input);
        SAMPLEFree(&sound);
        return 1;
    }
    SAMPLENormalize(sound, -32767, 32767);

    std::FILE* out = std::fopen(output, "wb");
    bool written = out != nullptr;
    if (out) {
        PutHeader(out, uint32_t(rate), uint32_t(sound->length));
        SAMPLEWriteRaw(sound, out, 16, 'l');
        written = !std::ferror(out);
        written = std::fclose(out) == 0 && written;
    }
    if (!written) {
        if (out) std::remove(output); // no half-written file that looks whole
        std::fprintf(stderr, "raw-to-wav: cannot write %s\n", output);
    }
    SAMPLEFree(&sound);
    return written ? 0 : 1;
}
