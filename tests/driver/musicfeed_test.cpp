#include "driver/musicfeed.h"

#include <gtest/gtest.h>

#include "data/instruments.h"
#include "driver/demo.h"
#include "support/random.h"

namespace {
// A sound record without a device: the feed only queues, nothing plays it.
SDLSND* Record() {
    auto* sound = static_cast<SDLSND*>(std::calloc(1, sizeof(SDLSND)));
    sound->queue = LISTNew();
    return sound;
}

void Drop(SDLSND* sound) {
    LISTFree(&sound->queue);
    std::free(sound);
}
} // namespace

TEST(MusicFeed, GeneratorHoldsCopiesOfTheTableInOrder) {
    DemoInitMusic();
    ASSERT_NE(demo.music, nullptr);
    ASSERT_EQ(demo.music->instruments->count, 13);
    for (int i = 0; i < 13; ++i) {
        auto* sound = static_cast<SAMPLE*>(LISTGet(demo.music->instruments, i));
        EXPECT_TRUE(SAMPLEEqual(sound, &INSTRUMENTS.records[i])) << i;
        EXPECT_NE(sound->items, INSTRUMENTS.records[i].items) << i; // owned, not borrowed
    }
    MUSICFree(&demo.music);
}

TEST(MusicFeed, KeepsTheBarQueuedUpToFourTimes) {
    DemoInitMusic();
    demo.sound = Record();
    RANDSeed(1);
    DemoMusicTick(); // the first tick composes and queues at once
    EXPECT_EQ(demo.sound->queue->count, 1);
    int loud = 0;
    for (int i = 0; i < 50000; ++i) loud += demo.music->output->items[i] != 0;
    EXPECT_GT(loud, 1000);
    for (int frame = 0; frame < 10; ++frame) DemoMusicTick();
    ASSERT_EQ(demo.sound->queue->count, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(LISTGet(demo.sound->queue, i), demo.music->output);

    // Once the callback has played a copy to its end, the next frame puts it back.
    demo.sound->position = 49000;
    std::vector<uint8_t> device(4096);
    SDLSNDCallback(demo.sound, device.data(), 4096);
    EXPECT_EQ(demo.sound->queue->count, 3);
    DemoMusicTick();
    EXPECT_EQ(demo.sound->queue->count, 4);

    Drop(demo.sound);
    demo.sound = nullptr;
    MUSICFree(&demo.music);
}

TEST(MusicFeed, WithoutSoundTheMusicStillTicks) {
    DemoInitMusic();
    ASSERT_EQ(demo.sound, nullptr);
    for (int frame = 0; frame < 301; ++frame) DemoMusicTick();
    EXPECT_EQ(demo.music->countdown, 300); // frame 301 composed the second note
    MUSICFree(&demo.music);
    DemoMusicTick(); // nor does a missing generator stop the frame
}
