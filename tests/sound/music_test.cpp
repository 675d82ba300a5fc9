#include "sound/music.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/random.h"

namespace {
// The shared generator's rule, restated so the expected bar does not lean on the code.
struct Draws {
    uint32_t state;
    int operator()() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

SAMPLE* Sound(int length, int seed) {
    SAMPLE* s = SAMPLENew();
    SAMPLESetLength(s, length);
    Draws d{static_cast<uint32_t>(seed)};
    for (int i = 0; i < length; ++i) s->items[i] = (d() << 1 | (d() & 1)) - 32768; // all of -32768 .. 32767
    s->items[0] = 32767;
    if (length > 1) s->items[1] = -32768;
    return s;
}

int FloorQuarter(long long v) { return static_cast<int>(v >= 0 ? v / 4 : -((-v + 3) / 4)); }
} // namespace

TEST(Music, NewGeneratorIsSilentAndComposesOnItsFirstTick) {
    MUSIC* music = MUSICNew();
    ASSERT_TRUE(music);
    EXPECT_EQ(music->countdown, 0);
    EXPECT_EQ(music->period, 300);
    ASSERT_EQ(music->output->length, 50000);
    for (int i = 0; i < 50000; ++i) ASSERT_EQ(music->output->items[i], 0);
    EXPECT_EQ(music->instruments->count, 0);

    MUSICAddInstrument(music, nullptr); // refused quietly
    SAMPLE* kept = Sound(4, 1);
    MUSICAddInstrument(nullptr, kept); // refused: the caller still owns it
    SAMPLEFree(&kept);
    EXPECT_EQ(music->instruments->count, 0);

    // With nothing to play a note tick changes nothing and draws nothing.
    RANDSeed(99);
    MUSICTick(music);
    EXPECT_EQ(music->countdown, 300);
    Draws d{99};
    EXPECT_EQ(RANDNext(), d());
    for (int i = 0; i < 50000; ++i) ASSERT_EQ(music->output->items[i], 0);
    MUSICTick(nullptr);

    MUSICFree(&music);
    EXPECT_EQ(music, nullptr);
    MUSICFree(&music); // refused
    MUSICFree(nullptr);
}

// Every note follows new[i] = floor((3 * old[i] + note[(i - delay) mod L]) / 4), the index and
// delay taken from five draws; ticks between notes change nothing.
TEST(Music, EveryNoteMixesByTheBarFormula) {
    MUSIC* music = MUSICNew();
    std::vector<std::vector<int32_t>> sounds;
    const int lengths[] = {22050, 11024, 11024, 60000, 1, 11024, 11024, 11024, 11024, 11024, 11024, 11024, 11024};
    for (int i = 0; i < 13; ++i) {
        SAMPLE* s = Sound(lengths[i], 1000 + i);
        sounds.emplace_back(s->items, s->items + s->length);
        MUSICAddInstrument(music, s);
    }
    ASSERT_EQ(music->instruments->count, 13);
    // Start from a bar holding the extremes, so both floors and the range limits are exercised.
    for (int i = 0; i < 50000; ++i) music->output->items[i] = i % 4 == 0 ? 32767 : i % 4 == 1 ? -32768 : i % 4 == 2 ? 1 : -1;
    std::vector<int32_t> expected(music->output->items, music->output->items + 50000);

    const uint32_t seed = 542388762u;
    RANDSeed(seed);
    Draws d{seed};
    bool wrapped = false;
    for (int note = 0; note < 40; ++note) {
        const int r0 = d(), r1 = d(), r2 = d(), r3 = d(), r4 = d();
        const std::vector<int32_t>& sound = sounds[static_cast<size_t>(r0 % 13)];
        const int delay = (r1 % 2) * 25000 + (r2 % 2) * 12500 + (r3 % 2) * 6250 + (r4 % 2) * 3125;
        wrapped |= delay + static_cast<int>(sound.size()) > 50000;
        for (int i = 0; i < 50000; ++i) {
            const int j = (i - delay + 50000) % 50000;
            const int value = j < static_cast<int>(sound.size()) ? sound[static_cast<size_t>(j)] : 0;
            expected[static_cast<size_t>(i)] = FloorQuarter(3LL * expected[static_cast<size_t>(i)] + value);
        }
        MUSICTick(music); // a note tick
        for (int i = 0; i < 50000; ++i) ASSERT_EQ(music->output->items[i], expected[static_cast<size_t>(i)]) << "note " << note << " at " << i;
        for (int tick = 0; tick < 299; ++tick) MUSICTick(music);
        EXPECT_EQ(music->countdown, 1);
    }
    EXPECT_TRUE(wrapped); // some note ran past the bar's end and continued at its start
    MUSICFree(&music);
}

TEST(Music, FreeReleasesTheBarAndEveryInstrument) {
    // Leaks here show in the sanitizer build.
    MUSIC* music = MUSICNew();
    for (int i = 0; i < 5; ++i) MUSICAddInstrument(music, Sound(100, i));
    MUSICTick(music);
    MUSICFree(&music);
    EXPECT_EQ(music, nullptr);
}
