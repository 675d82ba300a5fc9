// Build-time helper: turns one asset file into a C++ source holding its exact bytes, so the
// program reads no file at run time. A zero byte is appended after the data (not counted in
// the size), so texts and Netpbm headers can be read as zero-terminated strings.
//
//   embed <symbol> <input file> <output .cpp>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: embed <symbol> <input> <output.cpp>\n");
        return 2;
    }
    const std::string symbol = argv[1];
    std::FILE* in = std::fopen(argv[2], "rb");
    if (!in) {
        std::perror(argv[2]);
        return 1;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
    const bool failed = std::ferror(in);
    std::fclose(in);
    if (failed) {
        std::fprintf(stderr, "embed: cannot read %s\n", argv[2]);
        return 1;
    }

    std::string out = "// Generated from " + std::string(argv[2]) + "; do not edit.\n";
    out += "extern const unsigned char " + symbol + "[];\nextern const int " + symbol + "Size;\n";
    out += "alignas(16) const unsigned char " + symbol + "[] = {\n";
    char cell[8];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(cell, sizeof cell, "%u,", bytes[i]);
        out += cell;
        if (i % 24 == 23) out += '\n';
    }
    out += "0};\nconst int " + symbol + "Size = " + std::to_string(bytes.size()) + ";\n";

    std::FILE* file = std::fopen(argv[3], "wb");
    if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "embed: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
