#include "record/recorder.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "driver/demo.h"
#include "driver/fps.h"
#include "platform/headless.h"
#include "platform/sdlkbd.h"
#include "record/system.h"

namespace {
constexpr int kRate = 44100;
constexpr int kVideoPeriod = 20000; // microseconds a video frame stands for: 50 a second
constexpr int kLongestPeriod = 1000000; // at a target rate of 1

struct CAPTURE {
    const RECORDOPTIONS* options = nullptr;
    RECORDOUTPUT* output = nullptr;
    bool open = false;  // a frame presented, its sound not yet taken
    int written = 0;    // frames complete
    size_t nextKey = 0;
    uint32_t now = 0;   // the virtual clock, microseconds
    uint8_t sound[2 * (kRate * (kLongestPeriod / 1000) / 1000)]; // one frame's sound at most
    std::string failure; // why the recording stopped short, or empty
    bool progress = false;
    std::chrono::steady_clock::time_point start, shown;
    double showSeconds = 0;
} capture;

// Every frame asked for is written, or the recording has failed: the show is to end.
bool Done() { return capture.written >= capture.options->frames || !capture.failure.empty(); }

// Ends the show at this frame's end; the recording is abandoned afterwards.
void Stop(const std::string& why) {
    if (capture.failure.empty()) capture.failure = why;
    DemoStop();
}

void Progress(bool last) {
    if (!capture.progress) return;
    const auto now = std::chrono::steady_clock::now();
    if (!last && now - capture.shown < std::chrono::milliseconds(200)) return;
    capture.shown = now;
    const double wall = std::chrono::duration<double>(now - capture.start).count();
    const int total = capture.options->frames;
    const double fps = wall > 0 ? capture.written / wall : 0;
    const int left = fps > 0 ? int((total - capture.written) / fps + 0.5) : 0;
    char bar[31];
    const int filled = int(30.0 * capture.written / total);
    for (int i = 0; i < 30; ++i) bar[i] = i < filled ? '#' : '.';
    bar[30] = 0;
    std::fprintf(stderr, "\r[%s] %d/%d frames  %.0f fps  %.1fx real time  %d:%02d left ", bar, capture.written,
                 total, fps, wall > 0 ? capture.showSeconds / wall : 0.0, left / 60, left % 60);
    if (last) std::fputc('\n', stderr);
}

// The frame presented last gets the sound that plays during it, taken from the queue through
// the sound output's own fill, and goes out. Called at the frame's key poll (after its music
// step) or, in the fade, at the next present.
void Close() {
    if (!capture.open) return;
    capture.open = false;
    const int period = FPSState.period > 0 ? FPSState.period : kVideoPeriod;
    const size_t bytes = 2 * size_t(int64_t(kRate) * period / 1000000);
    HeadlessPullSound(capture.sound, int(bytes)); // silence where the queue is empty
    const int showings = period <= kVideoPeriod ? 1 : (period + kVideoPeriod / 2) / kVideoPeriod;
    if (!capture.output->Frame(capture.sound, bytes, showings)) return Stop(capture.output->error);
    ++capture.written;
    capture.showSeconds += period / 1e6;
    Progress(false);
    if (RecordInterrupted()) return Stop("interrupted");
    if (capture.written == capture.options->frames) DemoStop();
}

void Present(const IMG* picture, void*) {
    Close();
    if (Done()) return; // the fade may go on past the last frame asked for
    if (!capture.output->Picture(picture)) return Stop(capture.output->error);
    capture.open = true;
}

int NextKey(void*) {
    Close();
    const auto& keys = capture.options->keys;
    const int frame = capture.written - 1; // the frame whose end this is
    if (!Done() && capture.nextKey < keys.size() && keys[capture.nextKey].frame == frame) {
        return keys[capture.nextKey++].code; // esc: the fade, then the show ends
    }
    return 0;
}

// One period a frame: the read-out shows the target rate, and no sleep is asked for.
uint32_t VirtualClock(void*) {
    capture.now += uint32_t(FPSState.period);
    return capture.now;
}

void NoSleep(int, void*) {}

int Failed(const std::string& why) {
    if (capture.progress) std::fputc('\n', stderr);
    std::fprintf(stderr, "kelp2207-record: %s\n", why.c_str());
    capture.output->Abandon();
    return 1;
}
} // namespace

int RecordShow(const RECORDOPTIONS& options, RECORDOUTPUT& output) {
    capture.options = &options;
    capture.output = &output;
    capture.progress = !options.quiet && isatty(STDERR_FILENO);
    capture.start = capture.shown = std::chrono::steady_clock::now();
    HEADLESS hooks;
    hooks.present = Present;
    hooks.key = NextKey;
    hooks.clock = VirtualClock;
    hooks.sleep = NoSleep;
    HeadlessSetHooks(&hooks);
    if (const char* failure = DemoInit()) return Failed(failure);
    DemoRunShow(); // until the last frame asked for, esc's fade, or a failure
    Close();
    if (!capture.failure.empty()) return Failed(capture.failure);
    if (RecordInterrupted()) return Failed("interrupted");
    if (!output.Finish()) return Failed(output.error);
    Progress(true);
    return 0;
}
