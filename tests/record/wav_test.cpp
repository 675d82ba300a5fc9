// The recorder's WAV writer: the header players read, and the format's 4 GiB limit.
#include "record/wav.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
std::vector<uint8_t> ReadAll(const std::string& name) {
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(name.c_str(), "rb")) {
        for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(uint8_t(c));
        std::fclose(f);
    }
    return bytes;
}

uint32_t Word(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
} // namespace

TEST(Wav, HeaderDescribes16BitMonoAt44100AndTheSizesWritten) {
    const std::string name = testing::TempDir() + "kelp-wav-test.wav";
    WAVWRITER wav;
    ASSERT_TRUE(WAVOpen(wav, name.c_str()));
    const uint8_t sound[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(WAVAppend(wav, sound, 4));
    ASSERT_TRUE(WAVAppend(wav, sound + 4, 2));
    ASSERT_TRUE(WAVClose(wav));
    const std::vector<uint8_t> b = ReadAll(name);
    ASSERT_EQ(b.size(), 44u + 6u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(Word(b, 4), 36u + 6u);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Word(b, 16), 16u);              // the format block's size
    EXPECT_EQ(Word(b, 20), 1u | 1u << 16);    // PCM, one channel
    EXPECT_EQ(Word(b, 24), 44100u);           // frames a second
    EXPECT_EQ(Word(b, 28), 88200u);           // bytes a second
    EXPECT_EQ(Word(b, 32), 2u | 16u << 16);   // two bytes a frame, 16 bits
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(Word(b, 40), 6u);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 44, b.end()), std::vector<uint8_t>(sound, sound + 6));
    std::remove(name.c_str());
}

TEST(Wav, SoundBeyondTheFormatsSizeFieldsIsRefusedNotWrapped) {
    const std::string name = testing::TempDir() + "kelp-wav-big.wav";
    WAVWRITER wav;
    ASSERT_TRUE(WAVOpen(wav, name.c_str()));
    wav.bytes = 0xFFFFFFFFull - 36; // the most the RIFF size can count
    EXPECT_TRUE(WAVClose(wav));
    ASSERT_TRUE(WAVOpen(wav, name.c_str()));
    wav.bytes = 0xFFFFFFFFull - 35; // one byte more would wrap the header's sizes to small ones
    EXPECT_FALSE(WAVClose(wav));
    EXPECT_FALSE(WAVClose(wav)); // closed already
    std::remove(name.c_str());
}
