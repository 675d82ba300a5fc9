#include "platform/sdlsnd.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"

namespace {
// A handle as the callback sees it, without a device behind it.
struct Record {
    SDLSND sound = {44100, 16, 0, LISTNew(), 's', 'l', 0};
    ~Record() { LISTFree(&sound.queue); }
};

struct Buffer {
    SAMPLE* s;
    explicit Buffer(std::vector<int32_t> values) : s(SAMPLENew()) {
        SAMPLESetLength(s, static_cast<int>(values.size()));
        for (size_t i = 0; i < values.size(); ++i) s->items[i] = values[i];
    }
    Buffer(int length, int base) : s(SAMPLENew()) {
        SAMPLESetLength(s, length);
        for (int i = 0; i < length; ++i) s->items[i] = base + i;
    }
    ~Buffer() { SAMPLEFree(&s); }
};

// Runs one callback on a device buffer of `length` bytes, first filled with `fill`.
std::vector<uint8_t> Play(SDLSND* sound, int length, uint8_t fill = 0xAB) {
    std::vector<uint8_t> out(static_cast<size_t>(length), fill);
    SDLSNDCallback(sound, out.data(), length);
    return out;
}

int16_t At(const std::vector<uint8_t>& bytes, size_t sample) {
    return static_cast<int16_t>(bytes[2 * sample] | bytes[2 * sample + 1] << 8);
}
} // namespace

TEST(SoundOutput, CallbackSendsTheLowBytesLittleEndian) {
    Record r;
    Buffer b({40000, -1, 0x12345, 0, -32768, 32767});
    SDLSNDPlaySAMPLE(&r.sound, b.s);
    const std::vector<uint8_t> out = Play(&r.sound, 8);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x40, 0x9C, 0xFF, 0xFF, 0x45, 0x23, 0x00, 0x00}));
    EXPECT_EQ(r.sound.position, 4);
    // An odd length leaves its last byte as the audio layer gave it.
    const std::vector<uint8_t> odd = Play(&r.sound, 5);
    EXPECT_EQ(odd, (std::vector<uint8_t>{0x00, 0x80, 0xFF, 0x7F, 0xAB}));
    EXPECT_EQ(r.sound.queue->count, 0); // played to its end and dropped
    EXPECT_EQ(b.s->items[0], 40000);    // but never released or changed
}

TEST(SoundOutput, CallbackWithNothingToPlay) {
    Record r;
    EXPECT_EQ(Play(&r.sound, 64), std::vector<uint8_t>(64, 0xAB)); // SDL's silence stays
    Buffer b(10, 1);
    SDLSNDPlaySAMPLE(&r.sound, b.s);
    r.sound.mute = 1;
    EXPECT_EQ(Play(&r.sound, 7), std::vector<uint8_t>(7, 0)); // muted: zeros, queue untouched
    EXPECT_EQ(r.sound.queue->count, 1);
    EXPECT_EQ(r.sound.position, 0);
    r.sound.mute = 0;
    EXPECT_EQ(Play(&r.sound, 0), std::vector<uint8_t>());
    SDLSNDCallback(&r.sound, nullptr, 8);
    SDLSNDCallback(nullptr, Play(&r.sound, 0).data(), 8);
    EXPECT_EQ(r.sound.queue->count, 1);

    // A queued buffer without values plays one silent sample and is dropped.
    Record e;
    SAMPLE* empty = SAMPLENew();
    SDLSNDPlaySAMPLE(&e.sound, empty);
    SDLSNDPlaySAMPLE(&e.sound, b.s);
    const std::vector<uint8_t> out = Play(&e.sound, 8);
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 1, 0, 2, 0, 3, 0}));
    SAMPLEFree(&empty);
}

TEST(SoundOutput, FinishedBuffersAreDroppedAndTheNextContinuesInTheSameCall) {
    Record r;
    Buffer a(5000, 0), b(5000, 10000);
    SDLSNDPlaySAMPLE(&r.sound, a.s);
    SDLSNDPlaySAMPLE(&r.sound, b.s);
    r.sound.position = 4000; // 1000 values of the head remain
    const std::vector<uint8_t> out = Play(&r.sound, 8192);
    for (size_t i = 0; i < 1000; ++i) ASSERT_EQ(At(out, i), 4000 + static_cast<int>(i)) << i;
    for (size_t i = 1000; i < 4096; ++i) ASSERT_EQ(At(out, i), 10000 + static_cast<int>(i) - 1000) << i;
    EXPECT_EQ(r.sound.queue->count, 1);
    EXPECT_EQ(LISTGet(r.sound.queue, 0), b.s);
    EXPECT_EQ(r.sound.position, 3096);

    // The queue running dry mid-call: the rest keeps the silence the audio layer put there.
    const std::vector<uint8_t> last = Play(&r.sound, 8192);
    for (size_t i = 0; i < 1904; ++i) ASSERT_EQ(At(last, i), 13096 + static_cast<int>(i)) << i;
    for (size_t i = 2 * 1904; i < 8192; ++i) ASSERT_EQ(last[i], 0xAB) << i;
    EXPECT_EQ(r.sound.queue->count, 0);
    EXPECT_EQ(r.sound.position, 0);
}

TEST(SoundOutput, OneBufferQueuedFourTimesPlaysWithoutAGap) {
    Record r;
    Buffer bar(50000, -25000);
    for (int i = 0; i < 4; ++i) SDLSNDPlaySAMPLE(&r.sound, bar.s);
    std::vector<uint8_t> stream;
    while (r.sound.queue->count > 0) {
        const std::vector<uint8_t> out = Play(&r.sound, 8192);
        stream.insert(stream.end(), out.begin(), out.end());
    }
    ASSERT_EQ(stream.size(), 49u * 8192u);
    for (size_t i = 0; i < 200000; ++i) ASSERT_EQ(At(stream, i), -25000 + static_cast<int>(i % 50000)) << i;
    for (size_t i = 400000; i < stream.size(); ++i) ASSERT_EQ(stream[i], 0xAB) << i;
    EXPECT_EQ(r.sound.position, 0);
}

TEST(SoundOutput, StandardOperationsOfAHandleWithoutTextForm) {
    Record a, b;
    ASSERT_NE(SDLSNDToASCII(&a.sound), nullptr);
    EXPECT_STREQ(SDLSNDToASCII(&a.sound), "");
    EXPECT_EQ(SDLSNDToASCII(nullptr), nullptr);
    EXPECT_EQ(SDLSNDFromASCII(""), nullptr);
    EXPECT_EQ(SDLSNDFromASCII(nullptr), nullptr);
    EXPECT_TRUE(SDLSNDEqual(&a.sound, &b.sound));
    EXPECT_FALSE(SDLSNDEqual(&a.sound, nullptr));
    EXPECT_EQ(SDLSNDCopy(&a.sound), nullptr);
    SDLSNDPlay(&a.sound);

    Buffer buffer(3, 0);
    SDLSNDPlaySAMPLE(nullptr, buffer.s);
    SDLSNDPlaySAMPLE(&a.sound, nullptr);
    EXPECT_EQ(a.sound.queue->count, 0);
    LISTFree(&a.sound.queue);
    SDLSNDPlaySAMPLE(&a.sound, buffer.s); // a missing queue is made on demand
    ASSERT_NE(a.sound.queue, nullptr);
    EXPECT_EQ(a.sound.queue->count, 1);

    // Releasing a handle that holds no device releases its queue, never its buffers.
    auto* handle = static_cast<SDLSND*>(std::calloc(1, sizeof(SDLSND)));
    SDLSNDPlaySAMPLE(handle, buffer.s);
    SDLSNDFree(&handle);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(buffer.s->items[2], 2);
    SDLSNDFree(&handle);
    SDLSNDFree(nullptr);
}

namespace {
std::vector<uint8_t> ReadAll(const std::string& name) {
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(name.c_str(), "rb")) {
        uint8_t chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
    }
    return bytes;
}

int QueueCount(SDLSND* sound) {
    SDLSNDLock();
    const int count = sound->queue->count;
    SDLSNDUnlock();
    return count;
}

// Fails the whole program instead of hanging when `work` does not finish in time.
template <typename Work>
void WithinSeconds(int seconds, Work work) {
    auto done = std::async(std::launch::async, work);
    if (done.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready) {
        std::fprintf(stderr, "the device did not close: deadlock\n");
        std::_Exit(1);
    }
    done.get();
}
} // namespace

namespace {
// The desktop backend under the modules, as the programs' main chooses it.
const bool desktopChosen = (PlatformChoose(&PlatformDesktop), true);

// The real device, written to a file by SDL's disk writer; no window is needed.
void UseDiskWriter() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
}
} // namespace

TEST(SoundDevice, PlaysQueuedValuesUnchangedAndClosesWhileTheCallbackRuns) {
    UseDiskWriter();
    const std::string file = testing::TempDir() + "kelp-sdlsnd-test.raw";
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    SDLSND* sound = SDLSNDNew();
    ASSERT_NE(sound, nullptr) << "SDL's disk audio writer is missing";
    EXPECT_EQ(sound->frequency, 44100);
    EXPECT_EQ(sound->depth, 16);
    EXPECT_EQ(sound->sign, 's');
    EXPECT_EQ(sound->order, 'l');
    EXPECT_EQ(sound->mute, 0);
    EXPECT_EQ(SDLSNDNew(), nullptr); // one device at a time

    Buffer bar(9000, -4500);
    SDLSNDLock();
    SDLSNDPlaySAMPLE(sound, bar.s);
    SDLSNDPlaySAMPLE(sound, bar.s);
    SDLSNDUnlock();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (QueueCount(sound) > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(QueueCount(sound), 0);
    WithinSeconds(20, [&] { SDLSNDFree(&sound); });
    EXPECT_EQ(sound, nullptr);

    // The device got silence, then the buffer twice in a row, value for value.
    const std::vector<uint8_t> bytes = ReadAll(file);
    size_t start = 0;
    while (start + 1 < bytes.size() && bytes[start] == 0 && bytes[start + 1] == 0) start += 2;
    ASSERT_GE(bytes.size(), start + 36000);
    for (size_t i = 0; i < 18000; ++i) ASSERT_EQ(At(bytes, start / 2 + i), -4500 + static_cast<int>(i % 9000)) << i;
    for (size_t i = start + 36000; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0) << i;
    std::remove(file.c_str());

    // Releasing the device while the driver's side keeps taking the audio lock and the
    // callback keeps running must never hang, however the two meet.
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    for (int round = 0; round < 25; ++round) {
        SDLSND* s = SDLSNDNew();
        ASSERT_NE(s, nullptr) << round;
        for (int i = 0; i < 200; ++i) {
            SDLSNDLock();
            if (s->queue->count < 4) SDLSNDPlaySAMPLE(s, bar.s);
            SDLSNDUnlock();
        }
        WithinSeconds(20, [&] { SDLSNDFree(&s); });
    }
    std::remove(file.c_str());
}

TEST(SoundDevice, NoDeviceMeansNoHandleAndLeavesNothingBehind) {
    UseDiskWriter();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(SDLSNDNew(), nullptr);
    // Once a device is there, it opens.
    UseDiskWriter();
    const std::string file = testing::TempDir() + "kelp-sdlsnd-retry.raw";
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    SDLSND* sound = SDLSNDNew();
    EXPECT_NE(sound, nullptr);
    WithinSeconds(20, [&] { SDLSNDFree(&sound); });
    std::remove(file.c_str());
}
