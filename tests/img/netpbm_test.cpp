#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "picture.h"

namespace {

namespace fs = std::filesystem;

Picture FromMemory(const std::string& bytes) {
    return Picture(IMGFromPNM(reinterpret_cast<const unsigned char*>(bytes.c_str())));
}

std::string Fixture(const char* name) { return std::string(KELP_SOURCE_DIR) + "/tests/img/fixtures/" + name; }

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A scratch folder of its own for each test, removed afterwards.
class ImgNetpbm : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("img_test_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    Picture FromFile(const std::string& bytes) const { return Picture(IMGReadPNM(Write("in.pnm", bytes).c_str())); }

    fs::path dir_;
};

const std::vector<uint32_t> kChecker = [] { // pbmmake -g 10 3: set bits read as white
    std::vector<uint32_t> p;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 10; ++x) p.push_back((x + y) % 2 ? 0xFFFFFFu : 0u);
    return p;
}();
const std::vector<uint32_t> kRamp = {0x000000, 0x333333, 0x666666, 0x999999, 0x333333, 0x666666,
                                     0x999999, 0xCCCCCC, 0x666666, 0x999999, 0xCCCCCC, 0xFFFFFF};
const std::vector<uint32_t> kRose = {0x414144, 0x853E38, 0xB34139, 0x987C7B, 0x78626F, 0xD33D39,
                                     0xE43535, 0xA48366, 0x88847A, 0xCA7D74, 0x783A30, 0x425436};

} // namespace

TEST_F(ImgNetpbm, HeadersAndRastersFromMemory) {
    Picture p6 = FromMemory(std::string("P6\n# two pixels\n2 1\n255\n\xFF\x00\x00\x00\x80\xFF", 30));
    ASSERT_TRUE(p6);
    EXPECT_EQ(Pixels(p6.get()), (std::vector<uint32_t>{0x00FF0000, 0x000080FF}));

    Picture p5 = FromMemory("P5 1 1 15\n\x0F");
    ASSERT_TRUE(p5);
    EXPECT_EQ(Pixels(p5.get()), std::vector<uint32_t>{0x000F0F0F});

    Picture p1 = FromMemory("P1\n8 1\n0 1 0 0 0 0 0 1\n");
    ASSERT_TRUE(p1);
    EXPECT_EQ(Pixels(p1.get()), (std::vector<uint32_t>{0, 0xFFFFFF, 0, 0, 0, 0, 0, 0xFFFFFF}));
    Picture adjacent = FromMemory("P1 3 2 010\n001");
    ASSERT_TRUE(adjacent);
    EXPECT_EQ(adjacent->width, 3);
    EXPECT_EQ(Pixels(adjacent.get()), (std::vector<uint32_t>{0, 0xFFFFFF, 0, 0, 0, 0xFFFFFF}));

    // From memory a bitmap keeps whole bytes: width 10 becomes 16, padding bits as columns.
    Picture p4 = FromMemory("P4\n10 1\n\x80\x41");
    ASSERT_TRUE(p4);
    EXPECT_EQ(p4->width, 16);
    EXPECT_EQ(p4->pixels[0], 0xFFFFFFu);
    EXPECT_EQ(p4->pixels[9], 0xFFFFFFu);
    EXPECT_EQ(p4->pixels[15], 0xFFFFFFu);

    Picture p3 = FromMemory("P3 2 1 255 # comment\n 1 2 3 4 5 6");
    ASSERT_TRUE(p3);
    EXPECT_EQ(Pixels(p3.get()), (std::vector<uint32_t>{0x010203, 0x040506}));
    Picture p2 = FromMemory("P2\n2 1\n# between height and maximum\n255\n7 300");
    ASSERT_TRUE(p2);
    EXPECT_EQ(Pixels(p2.get()), (std::vector<uint32_t>{0x070707, 300u * 0x010101u}));
}

TEST_F(ImgNetpbm, BadInputIsRefused) {
    const std::string cases[] = {
        "P7\n1 1\n255\n", "P0 1 1 255 ", "Px", "P", "",                       // bad or missing magic
        "P6\n0 1\n255\n", "P6\n1 0\n255\n", "P5 99999999999 1 255 \x01",    // zero and absurd sizes
        "P6 1 1", "P6 1 1 255", "P2 # never ends", "P3 1 1 255x",          // headers that never complete
        "P6 1 x 255\n", "P6 P6 1 1 255 abc", "1 1 255 P6 abc", "P3\n1 1\n+255 1 2 3", // bytes that fit nowhere
        "P3 2 1 255\n1 2 3 4 5", "P2 2 2 255 1 2 3", "P1 4 1 010",          // text rasters ending early
        "P3 30000 30000 255\n1 2 3 4 5 6 7 8 9 10", "P1 30000 30000 0101",   // ...long before their size
    };
    for (const std::string& bad : cases) {
        EXPECT_EQ(FromMemory(bad), nullptr) << bad;
        EXPECT_EQ(FromFile(bad), nullptr) << bad;
    }
    EXPECT_EQ(IMGFromPNM(nullptr), nullptr);
    EXPECT_EQ(IMGReadPNM(nullptr), nullptr);
    EXPECT_EQ(IMGReadPNM(Path("missing.ppm").c_str()), nullptr);
    EXPECT_EQ(IMGReadPNM(dir_.string().c_str()), nullptr);
    // Binary rasters cut short, and huge sizes behind a few bytes, are refused before allocation.
    for (const std::string& bad : {std::string("P6 2 1 255\n\1\2\3\4\5"), std::string("P5 30000 30000 255\n1234567890"),
                                   std::string("P4 16 2\n\xFF\xFF\xFF"), std::string("P6 65536 65536 255\n")})
        EXPECT_EQ(FromFile(bad), nullptr) << bad;
}

TEST_F(ImgNetpbm, FileHeadersDifferFromMemoryWhereTheyShould) {
    // Files keep a bitmap's declared width; each row starts on a new byte.
    Picture p4 = FromFile(std::string("P4\n10 2\n\x80\x40\x00\x41", 12));
    ASSERT_TRUE(p4);
    EXPECT_EQ(p4->width, 10);
    std::vector<uint32_t> want(20, 0);
    want[0] = want[9] = want[19] = 0xFFFFFF;
    EXPECT_EQ(Pixels(p4.get()), want);
    // A plain bitmap pixel is one digit, in a file as in memory: the Netpbm tools write the
    // digits of a row without spaces.
    Picture p1 = FromFile("P1\n10 1\n0101010101\n");
    ASSERT_TRUE(p1);
    EXPECT_EQ(Pixels(p1.get()), (std::vector<uint32_t>{0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF}));
    // The byte that ends a number goes with it: "1x" ends the width, where in memory the "x"
    // would be a byte that fits nowhere.
    Picture p5 = FromFile("P5 1x1 255\n\x05");
    ASSERT_TRUE(p5);
    EXPECT_EQ(p5->pixels[0], 0x050505u);
    EXPECT_EQ(FromMemory("P5 1x1 255\n\x05"), nullptr);
}

TEST_F(ImgNetpbm, ReadsWhatTheNetpbmToolsWrite) {
    struct Case {
        const char* plain;
        const char* raw;
        const std::vector<uint32_t>& pixels;
        int width;
    };
    for (const Case& c : {Case{"bits_plain.pbm", "bits_raw.pbm", kChecker, 10},
                          Case{"grey_plain.pgm", "grey_raw.pgm", kRamp, 4},
                          Case{"colour_plain.ppm", "colour_raw.ppm", kRose, 4}}) {
        for (const char* name : {c.plain, c.raw}) {
            Picture img(IMGReadPNM(Fixture(name).c_str()));
            ASSERT_TRUE(img) << name;
            EXPECT_EQ(img->width, c.width) << name;
            EXPECT_EQ(Pixels(img.get()), c.pixels) << name;
        }
        // From memory the same, but for the bitmap's whole-byte rows.
        Picture plain = FromMemory(Slurp(Fixture(c.plain)));
        ASSERT_TRUE(plain);
        EXPECT_EQ(Pixels(plain.get()), c.pixels);
        Picture raw = FromMemory(Slurp(Fixture(c.raw)));
        ASSERT_TRUE(raw);
        if (c.width == 10) {
            EXPECT_EQ(raw->width, 16);
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < 10; ++x) EXPECT_EQ(IMGGetPixel(raw.get(), x, y), c.pixels[size_t(y * 10 + x)]);
            }
        } else {
            EXPECT_EQ(Pixels(raw.get()), c.pixels);
        }
    }
}

TEST_F(ImgNetpbm, WritesBinaryColourFiles) {
    Picture img = MakePicture(3, 2, {0x0A0A0A, 0xFF0000, 0x00FF00, 0x0000FF, 0x01FFFFFF, 0x000A0D});
    const std::string path = Path("out.ppm");
    ASSERT_TRUE(IMGWritePPM(img.get(), path.c_str()));
    const std::string bytes = Slurp(path);
    EXPECT_EQ(bytes, std::string("P6\n3 2\n255\n"
                                 "\x0A\x0A\x0A\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF\x00\x0A\x0D",
                                 29));
    Picture back(IMGReadPNM(path.c_str()));
    ASSERT_TRUE(back);
    img->pixels[4] = 0xFFFFFF; // the top byte has no place in the file
    EXPECT_TRUE(IMGEqual(back.get(), img.get()));

    EXPECT_FALSE(IMGWritePPM(nullptr, path.c_str()));
    EXPECT_FALSE(IMGWritePPM(img.get(), nullptr));
    EXPECT_FALSE(IMGWritePPM(MakePicture(0, 2).get(), path.c_str()));
    EXPECT_FALSE(IMGWritePPM(img.get(), Path("no/such/folder.ppm").c_str()));
    if (fs::exists("/dev/full")) {
        EXPECT_FALSE(IMGWritePPM(img.get(), "/dev/full")); // a full disk is not success
    }
}

// What IMGWritePPM writes, the Netpbm tools and ImageMagick accept and read pixel for pixel.
TEST_F(ImgNetpbm, OtherToolsReadWhatIsWritten) {
    if (std::system("command -v pamfile pnmtopng pngtopnm convert >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "netpbm or imagemagick missing (scripts/install-deps installs them)";
    Picture img = MakePicture(37, 11);
    FillRandom(img.get(), 9);
    for (int i = 0; i < 37 * 11; ++i) img->pixels[i] &= 0xFFFFFF;
    img->pixels[0] = 0x0A0A0A;
    const std::string ppm = Path("pic.ppm"), png = Path("pic.png");
    ASSERT_TRUE(IMGWritePPM(img.get(), ppm.c_str()));

    auto run = [](const std::string& command) { return std::system((command + " 2>&1").c_str()); };
    ASSERT_EQ(run("pamfile " + ppm + " > " + Path("info.txt")), 0);
    EXPECT_NE(Slurp(Path("info.txt")).find("PPM raw, 37 by 11  maxval 255"), std::string::npos)
        << Slurp(Path("info.txt"));

    ASSERT_EQ(run("pnmtopng " + ppm + " > " + png + " 2> " + Path("err.txt")), 0);
    EXPECT_EQ(Slurp(Path("err.txt")), "");
    ASSERT_EQ(run("pngtopnm " + png + " > " + Path("netpbm.ppm")), 0);
    Picture viaNetpbm(IMGReadPNM(Path("netpbm.ppm").c_str()));
    ASSERT_TRUE(viaNetpbm);
    EXPECT_TRUE(IMGEqual(viaNetpbm.get(), img.get()));

    ASSERT_EQ(run("convert " + ppm + " " + Path("im.png") + " && convert " + Path("im.png") + " " +
                  Path("im.ppm") + " > " + Path("im_err.txt")),
              0);
    EXPECT_EQ(Slurp(Path("im_err.txt")), "");
    Picture viaMagick(IMGReadPNM(Path("im.ppm").c_str()));
    ASSERT_TRUE(viaMagick);
    EXPECT_TRUE(IMGEqual(viaMagick.get(), img.get()));
}
