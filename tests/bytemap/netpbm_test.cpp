#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "maps.h"

namespace {

namespace fs = std::filesystem;
using V = std::vector<uint8_t>;

Map FromMemory(const std::string& bytes) {
    return Map(BYTEMAPFromPNM(reinterpret_cast<const unsigned char*>(bytes.c_str())));
}

std::string Fixture(const char* name) { return std::string(KELP_SOURCE_DIR) + "/tests/bytemap/fixtures/" + name; }

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The fixtures, made with the Netpbm tools:
//   bits_plain.pbm    pbmmake -g 10 3 | pnmtoplainpnm    (digits side by side)
//   bits_raw.pbm      pbmmake -g 12 2
//   grey_plain.pgm    pgmramp -lr 6 2 -maxval 15 | pnmtoplainpnm
//   grey_raw.pgm      pgmramp -lr 6 2 -maxval 15
//   colour_plain.ppm  pamseq 3 3 | pamtopnm -assume | pnmtoplainpnm
//   colour_raw.ppm    pamseq 3 3 | pamtopnm -assume
V Checker(int width, int height, int bitsWide) { // a set bit (black to Netpbm) reads as 255
    V v;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) v.push_back(x < bitsWide && (x + y) % 2 ? 255 : 0);
    return v;
}
const V kRamp = {0, 3, 6, 9, 12, 15, 0, 3, 6, 9, 12, 15}; // maximum 15, never rescaled
const V kSequence = [] { // every colour with samples 0 .. 3, as the mean of the three
    V v;
    for (int i = 0; i < 64; ++i) v.push_back(uint8_t((i / 16 + i / 4 % 4 + i % 4) / 3));
    return v;
}();

// A scratch folder of its own for each test, removed afterwards.
class BytemapNetpbm : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("bytemap_test_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    Map FromFile(const std::string& bytes) const {
        std::ofstream(Path("in.pnm"), std::ios::binary) << bytes;
        return Map(BYTEMAPReadPNM(Path("in.pnm").c_str()));
    }
    // Runs a shell command; its standard output, or "(failed)".
    static std::string Run(const std::string& command) {
        std::string out;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return "(failed)";
        char buffer[256];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        return pclose(pipe) == 0 ? out : "(failed)";
    }

    fs::path dir_;
};

} // namespace

TEST_F(BytemapNetpbm, FilesMadeByTheNetpbmTools) {
    struct Case {
        const char* name;
        int width, height;
        V grey;
    };
    const std::vector<Case> files = {
        {"bits_plain.pbm", 10, 3, Checker(10, 3, 10)}, {"bits_raw.pbm", 12, 2, Checker(12, 2, 12)},
        {"grey_plain.pgm", 6, 2, kRamp},                {"grey_raw.pgm", 6, 2, kRamp},
        {"colour_plain.ppm", 64, 1, kSequence},         {"colour_raw.ppm", 64, 1, kSequence},
    };
    for (const Case& c : files) {
        Map file(BYTEMAPReadPNM(Fixture(c.name).c_str()));
        ASSERT_TRUE(file) << c.name;
        EXPECT_EQ(std::make_pair(file->width, file->height), std::make_pair(c.width, c.height)) << c.name;
        EXPECT_EQ(Bytes(file.get()), c.grey) << c.name;

        // From memory the same, except that a raw bitmap keeps whole bytes: 12 becomes 16.
        Map memory = FromMemory(Slurp(Fixture(c.name)));
        ASSERT_TRUE(memory) << c.name;
        if (std::string(c.name) == "bits_raw.pbm") {
            EXPECT_EQ(memory->width, 16);
            EXPECT_EQ(Bytes(memory.get()), Checker(16, 2, 12));
        } else {
            EXPECT_EQ(Bytes(memory.get()), c.grey) << c.name;
        }
    }
}

TEST_F(BytemapNetpbm, GreyValuesOfEachKind) {
    EXPECT_EQ(Bytes(FromFile("P3\n1 1\n255\n30 60 90\n").get()), V{60});
    EXPECT_EQ(Bytes(FromFile("P6\n1 1\n255\n\xFF\xFF\xFE").get()), V{254});
    EXPECT_EQ(Bytes(FromFile("P2\n1 1\n15\n15\n").get()), V{15});
    EXPECT_EQ(Bytes(FromFile("P2 3 1 255 256 511 7").get()), (V{0, 255, 7})); // modulo 256
    EXPECT_EQ(Bytes(FromFile(std::string("P5 3 1 255\n\x00\x0A\xFF", 14)).get()), (V{0, 10, 255}));
    EXPECT_EQ(Bytes(FromFile("P1 4 1 1 0 3 0").get()), (V{255, 0, 255, 0}));

    // A raw bitmap 12 wide takes two bytes a row: the second row starts with the third byte.
    Map bits = FromFile("P4\n12 2\n\xF0\x0F\x81\xFF");
    ASSERT_TRUE(bits);
    EXPECT_EQ(Row(bits.get(), 0), (V{255, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Row(bits.get(), 1), (V{255, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255}));
    Map wide = FromMemory("P4\n12 1\n\xF0\x0F");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->width, 16);
    EXPECT_EQ(Bytes(wide.get()), (V{255, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255}));
    Map plain = FromMemory("P1\n12 1\n011000000001");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->width, 12);
    EXPECT_EQ(Bytes(plain.get()), (V{0, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 255}));

    // Comments between any two header fields, the type and the width included.
    const char* commented = "P2#a\n#b\n2#c\n1\n#d\n255\n4 5";
    EXPECT_EQ(Bytes(FromMemory(commented).get()), (V{4, 5}));
    EXPECT_EQ(Bytes(FromFile("P2\n# size\n2 1\n# maximum\n255\n4 5").get()), (V{4, 5}));
}

TEST_F(BytemapNetpbm, ForgivingHeaders) {
    // A stray printable byte reads as the number 0: as the maximum it does no harm, as a size it
    // makes the size 0 and the picture is refused.
    EXPECT_EQ(Bytes(FromFile("P2 2 1 x 4 5").get()), (V{4, 5}));
    EXPECT_EQ(Bytes(FromMemory("P2 2 1 x 4 5").get()), (V{4, 5}));
    EXPECT_FALSE(FromFile("P2 x 1 255 4"));
    EXPECT_FALSE(FromMemory("P2 2x1 255 4 5"));
    // In a file the byte that ends a number goes with it, so there the same header is whole.
    EXPECT_EQ(Bytes(FromFile("P2 2x1 255 4 5").get()), (V{4, 5}));
    // The numbers may come before the magic; the raster then starts right behind it (after one
    // more byte in memory).
    EXPECT_EQ(Bytes(FromFile("2 1 255 P5\x07\x08").get()), (V{7, 8}));
    EXPECT_EQ(Bytes(FromMemory("2 1 255 P5 \x07\x08").get()), (V{7, 8}));
}

TEST_F(BytemapNetpbm, BadInputIsRefused) {
    EXPECT_FALSE(BYTEMAPFromPNM(nullptr));
    EXPECT_FALSE(BYTEMAPReadPNM(nullptr));
    EXPECT_FALSE(BYTEMAPReadPNM(Path("missing.pgm").c_str()));
    for (const char* bad : {"P7 1 1 255 1", "P0 1 1 255 1", "P2 0 1 255", "P2 1 0 255", "", "P", "P2", "P2 2 2",
                            "P2 2 2 255", "P2 2 2 255 1 2 3", "P3 1 1 255 1 2", "P1 3 1 01", "P2 99999999999 1 255 1",
                            "# only a comment", "P3 65535 65535 255\n1 2 3"}) {
        EXPECT_FALSE(FromFile(bad)) << bad;
        EXPECT_FALSE(FromMemory(bad)) << bad;
    }
    // Binary rasters cut short: a file knows its end (in memory they are taken by count).
    for (const char* cut : {"P5 2 1 255\n\x07", "P6 1 1 255 ab", "P4 9 1 \x01", "P5 65535 65535 255\n"})
        EXPECT_FALSE(FromFile(cut)) << cut;
    // Sizes far beyond the input are refused before anything is allocated.
    EXPECT_FALSE(FromMemory("P2 50000 50000 255 1 2 3"));
    EXPECT_FALSE(FromFile("P6 2147483647 2147483647 255 abc"));
}

TEST_F(BytemapNetpbm, WritingBinaryGreyFiles) {
    Map map = MakeMap(5, 3);
    for (int i = 0; i < 15; ++i) map->data[i] = uint8_t(i * 17 + 10); // the first byte is a line feed
    ASSERT_EQ(BYTEMAPWritePGM(map.get(), Path("out.pgm").c_str()), 1);
    const std::string bytes = Slurp(Path("out.pgm"));
    const std::string header = "P5\n5 3\n255\n";
    ASSERT_EQ(bytes.size(), header.size() + 15);
    EXPECT_EQ(bytes.substr(0, header.size()), header);
    EXPECT_EQ(bytes.substr(header.size()), std::string(reinterpret_cast<char*>(map->data), 15));

    Map back(BYTEMAPReadPNM(Path("out.pgm").c_str()));
    ASSERT_TRUE(back);
    EXPECT_EQ(BYTEMAPEqual(back.get(), map.get()), 1);

    EXPECT_EQ(BYTEMAPWritePGM(nullptr, Path("none.pgm").c_str()), 0);
    EXPECT_EQ(BYTEMAPWritePGM(map.get(), nullptr), 0);
    EXPECT_EQ(BYTEMAPWritePGM(MakeMap(0, 4).get(), Path("empty.pgm").c_str()), 0);
    EXPECT_EQ(BYTEMAPWritePGM(map.get(), Path("no/such/folder.pgm").c_str()), 0);
    EXPECT_FALSE(fs::exists(Path("none.pgm")));
    EXPECT_FALSE(fs::exists(Path("empty.pgm")));
}

TEST_F(BytemapNetpbm, WrittenFilesPassTheNetpbmTools) {
    if (Run("command -v pamfile pnmtopng pngtopnm >/dev/null && echo yes") != "yes\n")
        GTEST_SKIP() << "the Netpbm tools are not installed";
    Map map = MakeMap(7, 4);
    for (int i = 0; i < 28; ++i) map->data[i] = uint8_t(i * 37);
    const std::string pgm = Path("tools.pgm"), png = Path("tools.png"), again = Path("again.pgm");
    ASSERT_EQ(BYTEMAPWritePGM(map.get(), pgm.c_str()), 1);
    EXPECT_NE(Run("pamfile " + pgm).find("PGM raw, 7 by 4  maxval 255"), std::string::npos);
    ASSERT_NE(Run("pnmtopng " + pgm + " > " + png), "(failed)");
    EXPECT_EQ(Slurp(png).substr(0, 8), "\x89PNG\r\n\x1A\n");
    // Through PNG and back, the grey values survive unchanged.
    ASSERT_NE(Run("pngtopnm " + png + " > " + again), "(failed)");
    Map back(BYTEMAPReadPNM(again.c_str()));
    ASSERT_TRUE(back);
    EXPECT_EQ(BYTEMAPEqual(back.get(), map.get()), 1);
}
