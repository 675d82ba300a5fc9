// Build-time helper: turns the instrument WAV files into the compiled-in instrument table of
// data/instruments.h. Only 16-bit PCM mono at 44100 Hz is accepted: anything else stops the
// build with a message instead of embedding a sound that would play wrong.
//
//   wavtable <output .cpp> <file.wav>...
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {
uint32_t Le(const std::vector<unsigned char>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<size_t>(i)];
    return v;
}

bool Fail(const char* name, const char* why) {
    std::fprintf(stderr, "wavtable: %s: %s\n", name, why);
    return false;
}

bool ReadWav(const char* name, std::vector<int32_t>& values) {
    std::FILE* in = std::fopen(name, "rb");
    if (!in) return Fail(name, "cannot open");
    std::vector<unsigned char> b;
    unsigned char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) b.insert(b.end(), chunk, chunk + n);
    const bool failed = std::ferror(in);
    std::fclose(in);
    if (failed) return Fail(name, "cannot read");
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" || std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return Fail(name, "not a RIFF WAVE file");
    bool format = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
        const size_t size = Le(b, at + 4, 4);
        const size_t body = at + 8;
        if (size > b.size() - body) return Fail(name, "chunk runs past the end of the file");
        if (id == "fmt ") {
            if (size < 16) return Fail(name, "short format chunk");
            if (Le(b, body, 2) != 1 || Le(b, body + 2, 2) != 1 || Le(b, body + 4, 4) != 44100 || Le(b, body + 14, 2) != 16)
                return Fail(name, "not 16-bit PCM mono at 44100 Hz");
            format = true;
        } else if (id == "data") {
            if (!format) return Fail(name, "sound data before the format");
            for (size_t i = 0; i + 1 < size; i += 2) values.push_back(static_cast<int16_t>(Le(b, body + i, 2)));
            return true;
        }
        at = body + size + (size & 1); // chunks are padded to even sizes
    }
    return Fail(name, "no sound data");
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wavtable <output.cpp> <file.wav>...\n");
        return 2;
    }
    const int count = argc - 2;
    std::string out = "// Generated from data/instruments/*.wav; do not edit.\n#include \"data/instruments.h\"\n\n";
    out += "static_assert(kInstrumentCount == " + std::to_string(count) + ", \"one WAV file per instrument\");\n\n";
    out += "namespace {\n";
    std::vector<size_t> lengths;
    for (int i = 0; i < count; ++i) {
        std::vector<int32_t> values;
        if (!ReadWav(argv[i + 2], values)) return 1;
        if (values.empty()) {
            Fail(argv[i + 2], "no values");
            return 1;
        }
        lengths.push_back(values.size());
        out += "// " + std::string(argv[i + 2]) + "\nalignas(16) const int32_t sound" + std::to_string(i) + "[] = {\n";
        for (size_t j = 0; j < values.size(); ++j) {
            out += std::to_string(values[j]) + (j % 16 == 15 ? ",\n" : ",");
        }
        out += "};\n";
    }
    out += "} // namespace\n\n// The table never changes: the records point into read-only memory.\n";
    out += "const INSTRUMENTTABLE INSTRUMENTS = {" + std::to_string(count) + ", {\n";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(lengths[static_cast<size_t>(i)]);
        out += "    {" + n + ", " + n + ", const_cast<int32_t*>(sound" + std::to_string(i) + ")},\n";
    }
    out += "}};\n";
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "wavtable: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
