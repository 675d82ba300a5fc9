#include "record/recorder.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/demo.h"
#include "driver/fps.h"
#include "platform/sdldpy.h"
#include "platform/sdlkbd.h"
#include "platform/sdlsnd.h"

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
    bool ending = false; // the recording ends by its own way: the last frame, or esc's fade
    bool finishing = false; // in the exit handler, which must not call exit again
    bool progress = false;
    std::chrono::steady_clock::time_point start, shown;
    double showSeconds = 0;
} capture;

volatile std::sig_atomic_t interrupted = 0;
void OnSignal(int) { interrupted = 1; }

[[noreturn]] void Fail(const std::string& why) {
    if (capture.progress) std::fputc('\n', stderr);
    std::fprintf(stderr, "kelp2207-record: %s\n", why.c_str());
    capture.output->Abandon();
    std::_Exit(1);
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
// the real callback, and goes out. Called at the frame's key poll (after its music step) or,
// in the fade, at the next present.
void Close() {
    if (!capture.open) return;
    capture.open = false;
    const int period = FPSState.period > 0 ? FPSState.period : kVideoPeriod;
    const size_t bytes = 2 * size_t(int64_t(kRate) * period / 1000000);
    std::memset(capture.sound, 0, bytes); // the callback leaves an empty queue's share silent
    if (demo.sound) SDLSNDCallback(demo.sound, capture.sound, int(bytes));
    const int showings = period <= kVideoPeriod ? 1 : (period + kVideoPeriod / 2) / kVideoPeriod;
    if (!capture.output->Frame(capture.sound, bytes, showings)) Fail(capture.output->error);
    ++capture.written;
    capture.showSeconds += period / 1e6;
    Progress(false);
    if (interrupted) Fail("interrupted");
    if (capture.written == capture.options->frames && !capture.finishing) {
        capture.ending = true;
        std::exit(0); // completed in Finish
    }
}

void Present(const IMG* picture, void*) {
    Close();
    if (!capture.output->Picture(picture)) Fail(capture.output->error);
    capture.open = true;
}

int NextKey(void*) {
    Close();
    const auto& keys = capture.options->keys;
    const int frame = capture.written - 1; // the frame whose end this is
    if (capture.nextKey < keys.size() && keys[capture.nextKey].frame == frame) {
        const int code = keys[capture.nextKey++].code;
        if (code == SDLKBDEscape) capture.ending = true; // the fade, then the process ends
        return code;
    }
    return 0;
}

// One period a frame: the read-out shows the target rate, and no sleep is asked for.
int VirtualClock() {
    capture.now += uint32_t(FPSState.period);
    return int(int32_t(capture.now));
}
void NoSleep(int) {}

// Every way out of the process passes here: the recording's own ends complete the output;
// any other (the show failing to start, say) leaves nothing that looks complete.
void Finish() {
    if (!capture.ending) {
        capture.output->Abandon();
        return;
    }
    capture.finishing = true; // the fade's last frame may also be the last one asked for
    Close();
    if (!capture.output->Finish()) Fail(capture.output->error);
    Progress(true);
}
} // namespace

void RecordShow(const RECORDOPTIONS& options, RECORDOUTPUT& output) {
    capture.options = &options;
    capture.output = &output;
    capture.progress = !options.quiet && isatty(STDERR_FILENO);
    capture.start = capture.shown = std::chrono::steady_clock::now();
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) std::signal(sig, OnSignal);
    std::signal(SIGPIPE, SIG_IGN); // a dead ffmpeg shows as a failed write
    SDLDPYSetFrameSink(Present, nullptr);
    SDLKBDSetKeySource(NextKey, nullptr);
    SDLSNDSetPulled(true);
    FPSSetClock(VirtualClock, NoSleep);
    std::atexit(Finish);
    DemoInit();
    DemoRunShow();
}
