// The Netpbm readers of both modules, from files, pipes and memory, under input an attacker
// would choose, and side by side with the Netpbm tools.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/bytemap/maps.h"
#include "tests/img/picture.h"

namespace {

namespace fs = std::filesystem;

// What the four readers make of the same bytes: both modules, from a file and from memory.
struct Readings {
    Picture fileImg, memoryImg;
    Map fileMap, memoryMap;
    bool Refused() const { return !fileImg && !memoryImg && !fileMap && !memoryMap; }
};

// Grey samples land unscaled: v in every channel of a picture, v mod 256 in a grey map.
void ExpectGrey(const Readings& r, const std::vector<uint32_t>& values) {
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> bytes;
    for (uint32_t v : values) {
        pixels.push_back(v * 0x010101u);
        bytes.push_back(uint8_t(v));
    }
    ASSERT_TRUE(r.fileImg && r.memoryImg && r.fileMap && r.memoryMap);
    EXPECT_EQ(Pixels(r.fileImg.get()), pixels);
    EXPECT_EQ(Pixels(r.memoryImg.get()), pixels);
    EXPECT_EQ(Bytes(r.fileMap.get()), bytes);
    EXPECT_EQ(Bytes(r.memoryMap.get()), bytes);
}

#if !defined(_WIN32) // pipes named by a path, endless devices and alarms are POSIX's
// read(path) with `bytes` arriving through a pipe, as from `cat file |`: an input whose length
// cannot be measured. A reader that stops early leaves the writer with bytes nobody takes.
template <typename Record>
Record ThroughPipe(const std::string& bytes, Record (*read)(const char*)) {
    int fds[2];
    if (pipe(fds) != 0) return nullptr;
    std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&] {
        for (size_t at = 0; at < bytes.size();) {
            const ssize_t n = write(fds[1], bytes.data() + at, bytes.size() - at);
            if (n <= 0) break;
            at += size_t(n);
        }
        close(fds[1]);
    });
    Record result = read(("/proc/self/fd/" + std::to_string(fds[0])).c_str());
    close(fds[0]);
    writer.join();
    return result;
}

Picture PictureAt(const char* path) { return Picture(IMGReadPNM(path)); }
Map MapAt(const char* path) { return Map(BYTEMAPReadPNM(path)); }
#endif

// Runs a shell command; whether it succeeded, and its standard output.
bool Shell(const std::string& command, std::string& out) {
    out.clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    return pclose(pipe) == 0;
}

class NetpbmReaders : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream((dir_ / name).string(), std::ios::binary) << bytes;
        return (dir_ / name).string();
    }
    Readings Read(const std::string& bytes) const {
        const std::string path = Write("in.pnm", bytes);
        const auto* raw = reinterpret_cast<const unsigned char*>(bytes.data());
        return Readings{Picture(IMGReadPNM(path.c_str())), Picture(IMGFromPNMSize(raw, bytes.size())),
                        Map(BYTEMAPReadPNM(path.c_str())), Map(BYTEMAPFromPNMSize(raw, bytes.size()))};
    }

    const fs::path dir_ = fs::temp_directory_path() / ("netpbm_readers_" + std::to_string(getpid()) + "_" +
                                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

} // namespace

TEST_F(NetpbmReaders, HeadersThatNeverEndAreRefusedSoon) {
    // Separators without end, before any magic; a reader that spins fails instead of hanging.
#if !defined(_WIN32)
    alarm(60);
    EXPECT_FALSE(PictureAt("/dev/zero"));
    EXPECT_FALSE(MapAt("/dev/zero"));
    alarm(0);
#endif
    EXPECT_TRUE(Read(std::string(2000, ' ') + "P5 1 1 255 x").Refused());
    EXPECT_TRUE(Read("P5\n#" + std::string(70000, 'c') + "\n1 1 255 x").Refused());
    EXPECT_TRUE(Read("P5 1 1 " + std::string(70000, '0') + "255 x").Refused());
    ExpectGrey(Read("\n\n# made by hand\nP5\n#" + std::string(60000, 'c') + "\n1 1 255 x"), {'x'});
}

#if !defined(_WIN32)
TEST_F(NetpbmReaders, InputOfUnknownLengthCommitsOnlyWhatArrives) {
    std::string grey = "P5 300 250 255\n"; // more pixels than the store's first step
    for (int i = 0; i < 300 * 250; ++i) grey += char(i * 7);
    for (const std::string& bytes : {grey, std::string("P3 2 1 255\n1 2 3 4 5 6\n"), std::string("P1 3 1 010\n"),
                                     std::string("P4 10 2\n\x80\x40\x00\x41", 12)}) {
        SCOPED_TRACE(bytes.substr(0, 10));
        const Readings file = Read(bytes);
        Picture img = ThroughPipe(bytes, PictureAt);
        Map map = ThroughPipe(bytes, MapAt);
        ASSERT_TRUE(img && map && file.fileImg && file.fileMap);
        EXPECT_TRUE(IMGEqual(img.get(), file.fileImg.get()));
        EXPECT_EQ(BYTEMAPEqual(map.get(), file.fileMap.get()), 1);
        EXPECT_FALSE(ThroughPipe(bytes.substr(0, bytes.size() - 2), PictureAt));
        EXPECT_FALSE(ThroughPipe(bytes.substr(0, bytes.size() - 2), MapAt));
    }
    // Headers that declare gigabytes, a few bytes behind them: refused without ever mapping
    // memory of the declared size.
    auto statusKiB = [](const std::string& field) {
        std::ifstream in("/proc/self/status");
        for (std::string line; std::getline(in, line);)
            if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
        return -1L;
    };
    const long before = statusKiB("VmSize");
    EXPECT_FALSE(ThroughPipe("P4\n65536 32767\n" + std::string(4096, '\xAA'), PictureAt));
    EXPECT_FALSE(ThroughPipe("P5 65535 32767 255\n" + std::string(4096, 'x'), MapAt));
    EXPECT_LT(statusKiB("VmPeak") - before, 256L << 10);
}
#endif

TEST_F(NetpbmReaders, BinaryRastersOfTwoByteSamplesAreRefused) {
    EXPECT_TRUE(Read(std::string("P5 1 1 256\n\x00\x41", 13)).Refused());
    EXPECT_TRUE(Read("P6 1 1 65535\n" + std::string(6, 'a')).Refused());
    ExpectGrey(Read("P5 1 1 255\nA"), {'A'});
    ExpectGrey(Read("P2 2 1 65535\n1000 65535\n"), {1000, 65535}); // plain samples stay as they are
}

TEST_F(NetpbmReaders, CommentsWhereNetpbmReadsThem) {
    ExpectGrey(Read("P2 3 2 255 1 2 3 # 7 8 9\n4 5 6"), {1, 2, 3, 4, 5, 6}); // inside a plain raster
    ExpectGrey(Read("P2 2 1 255\n1#9\n2"), {1, 2});                          // right behind a sample
    ExpectGrey(Read("P5 1 1 255#c\nA"), {'A'});                              // right behind the maximum
    ExpectGrey(Read("P5 2 1 255\n#\n"), {'#', '\n'});                        // a raster that starts with '#'
    ExpectGrey(Read("P1 3 1 0#1\n10"), {0, 255, 0});                         // a set bit is white
    EXPECT_TRUE(Read("P5 1#1 1 255\n\x05").Refused());                       // the header commented out
    const Readings colour = Read("P3 1 1 255\n# 9 9 9\n1 2 3");
    ASSERT_TRUE(colour.fileImg && colour.memoryImg);
    EXPECT_EQ(colour.fileImg->pixels[0], 0x010203u);
    EXPECT_EQ(colour.memoryImg->pixels[0], 0x010203u);
}

TEST_F(NetpbmReaders, SizedMemoryReadsStopAtTheSize) {
    // Buffers of exactly the size, without a terminating zero: the sanitizer build sees any
    // read beyond them.
    for (const std::string& bytes : {std::string("P6 2 1 255\n\x01\x02\x03\x04\x05\x06"), std::string("P2 2 1 255 7 8"),
                                     std::string("P4 9 2\n\xFF\x80\xFF\x80")}) {
        for (size_t size = 0; size <= bytes.size(); ++size) {
            const std::vector<unsigned char> exact(bytes.begin(), bytes.begin() + std::ptrdiff_t(size));
            Picture img(IMGFromPNMSize(exact.data(), size));
            Map map(BYTEMAPFromPNMSize(exact.data(), size));
            EXPECT_EQ(bool(img), size == bytes.size()) << bytes << " " << size;
            EXPECT_EQ(bool(map), size == bytes.size()) << bytes << " " << size;
            if (img && bytes[1] == '6') { EXPECT_EQ(Pixels(img.get()), (std::vector<uint32_t>{0x010203, 0x040506})); }
            if (map && bytes[1] == '2') { EXPECT_EQ(Bytes(map.get()), (std::vector<uint8_t>{7, 8})); }
        }
    }
    EXPECT_FALSE(IMGFromPNMSize(nullptr, 10));
    EXPECT_FALSE(BYTEMAPFromPNMSize(nullptr, 10));
}

namespace {

// A picture as the Netpbm tools read it, written out as plain text: kind 1 to 3, size, maximum
// and samples, three a pixel for colour; a bitmap's bits are 1 for black.
struct ToolReading {
    int kind = 0, width = 0, height = 0;
    long maximum = 1;
    std::vector<uint32_t> samples;
};

bool ParsePlain(const std::string& text, ToolReading& out) {
    std::istringstream in(text);
    std::string magic;
    in >> magic >> out.width >> out.height;
    if (!in || magic.size() != 2 || magic[0] != 'P' || magic[1] < '1' || magic[1] > '3') return false;
    out.kind = magic[1] - '0';
    if (out.kind != 1) in >> out.maximum;
    const size_t count = size_t(out.width) * size_t(out.height) * (out.kind == 3 ? 3 : 1);
    for (size_t i = 0; i < count && in; ++i) {
        uint32_t v = 0;
        char bit = 0;
        if (out.kind == 1 ? bool(in >> bit) : bool(in >> v)) out.samples.push_back(out.kind == 1 ? bit == '1' : v);
    }
    return out.samples.size() == count;
}

// The Netpbm command that writes a file as plain text of its own kind (pamtopnm would turn a
// grey file of maximum 1 into a bitmap).
std::string PlainOf(char kind) {
    if (kind == '1' || kind == '4') return "pamtopnm -plain < ";
    return kind == '2' || kind == '5' ? "pgmtopgm -plain < " : "ppmtoppm -plain < ";
}

// The same file with comments wherever Netpbm takes them: after the magic, right behind the
// width, right behind the last header number, and in a plain raster right behind its first sample.
std::string Commented(const std::string& file) {
    const bool bitmap = file[1] == '1' || file[1] == '4', plain = file[1] <= '3';
    const size_t magicEnd = file.find('\n'), sizeEnd = file.find('\n', magicEnd + 1);
    const size_t headerEnd = bitmap ? sizeEnd : file.find('\n', sizeEnd + 1);
    std::string header = file.substr(magicEnd + 1, headerEnd - magicEnd - 1);
    header.replace(header.find(' '), 1, "# between the sizes 4 4\n");
    std::string raster = file.substr(headerEnd + 1);
    if (plain) raster.insert(bitmap ? 1 : raster.find_first_of(" \n"), "# 1 0 7 8 9 in the raster\n");
    return file.substr(0, magicEnd) + "\n# made by the tools 1 2\n" + header + "# and the end of it\n" + raster;
}

} // namespace

// Files the Netpbm tools and ImageMagick make, of all six kinds, maxima from 1 to 65535, odd
// bitmap widths, with and without comments: where the tools read an 8-bit file, every reader
// gets its size and values (a set bit as white, values unscaled); a 16-bit binary file is
// refused.
TEST_F(NetpbmReaders, ReadWhatTheNetpbmToolsRead) {
    std::string out;
    if (!Shell("command -v pamtopnm pgmtopgm ppmtoppm pbmmake pgmramp pamseq ppmmake pnmdepth convert", out))
        GTEST_SKIP() << "netpbm or imagemagick missing (scripts/install-deps installs them)";
    // clang-format off
    const char* makers[] = {
        "pbmmake -g 1 3", "pbmmake -g 7 2", "pbmmake -g 9 3", "pbmmake -g 13 5", "pbmmake -b 17 2",
        "pbmmake -w 31 1", "convert -size 13x4 pattern:gray50 pbm:-",
        "pgmramp -lr 7 3 -maxval 1", "pgmramp -lr 7 3 -maxval 15", "pgmramp -rect 9 5",
        "pgmramp -lr 7 3 -maxval 1000", "pgmramp -diag 6 4 -maxval 65535",
        "convert -size 6x4 gradient: -depth 8 pgm:-", "convert -size 6x4 gradient: -depth 16 pgm:-",
        "pamseq 3 1 | pamtopnm -assume", "pamseq 3 15 | pamtopnm -assume", "ppmmake rgb:12/34/56 5 3",
        "pamseq 3 3 | pamtopnm -assume | pnmdepth 1000", "pamseq 3 3 | pamtopnm -assume | pnmdepth 65535",
        "convert -size 9x5 gradient:red-blue -depth 8 ppm:-", "convert -size 9x5 gradient:red-blue -depth 16 ppm:-",
    };
    // clang-format on
    int files = 0, refused = 0;
    for (const char* maker : makers) {
        std::string made, plain;
        ASSERT_TRUE(Shell(maker, made)) << maker;
        ASSERT_TRUE(Shell(PlainOf(made[1]) + Write("made.pnm", made), plain)) << maker;
        for (const std::string& bytes : {made, plain, Commented(made), Commented(plain)}) {
            SCOPED_TRACE(std::string(maker) + " as " + bytes.substr(0, 2));
            ToolReading tool;
            ASSERT_TRUE(Shell(PlainOf(bytes[1]) + Write("variant.pnm", bytes), out) && ParsePlain(out, tool));
            ++files;
            const Readings r = Read(bytes);
            if ((bytes[1] == '5' || bytes[1] == '6') && tool.maximum > 255) {
                EXPECT_TRUE(r.Refused());
                ++refused;
                continue;
            }
            ASSERT_TRUE(r.fileImg && r.memoryImg && r.fileMap && r.memoryMap);
            // From memory a raw bitmap's rows are whole bytes: the padding makes extra columns.
            const int memoryWidth = bytes[1] == '4' ? (tool.width + 7) / 8 * 8 : tool.width;
            for (int width : {r.fileImg->width, r.fileMap->width}) EXPECT_EQ(width, tool.width);
            for (int width : {r.memoryImg->width, r.memoryMap->width}) EXPECT_EQ(width, memoryWidth);
            for (int height : {r.fileImg->height, r.fileMap->height, r.memoryImg->height, r.memoryMap->height})
                EXPECT_EQ(height, tool.height);
            const uint32_t* s = tool.samples.data();
            for (int y = 0; y < tool.height; ++y) {
                for (int x = 0; x < tool.width; ++x, s += tool.kind == 3 ? 3 : 1) {
                    uint32_t pixel = s[0] * 0x010101u, grey = s[0];
                    if (tool.kind == 1) {
                        pixel = s[0] ? 0xFFFFFFu : 0u;
                        grey = s[0] ? 255 : 0;
                    } else if (tool.kind == 3) {
                        pixel = s[0] * 65536u + s[1] * 256u + s[2];
                        grey = uint32_t((uint64_t(s[0]) + s[1] + s[2]) / 3);
                    }
                    for (const Picture* img : {&r.fileImg, &r.memoryImg})
                        ASSERT_EQ(IMGGetPixel(img->get(), x, y), pixel) << x << "," << y;
                    for (const Map* map : {&r.fileMap, &r.memoryMap})
                        ASSERT_EQ(BYTEMAPGetPixel(map->get(), x, y), int(uint8_t(grey))) << x << "," << y;
                }
            }
        }
    }
    EXPECT_EQ(files, 84);
    EXPECT_EQ(refused, 12); // the six 16-bit binary files, bare and commented
}
