// kelp2207-record: the show as frames and sound, or as a video, written much faster than it plays.
#include <cstdio>

#include "kelp2207/version.h"
#include "platform/platform.h"
#include "record/options.h"
#include "record/output.h"
#include "record/recorder.h"
#include "record/system.h"

int main(int argc, char** argv) {
    // No window, keyboard or sound card: frames, keys, sound and clock go through the recorder.
    PlatformChoose(&PlatformHeadless, PLATFORMSCREEN::Window);
    RECORDOPTIONS options;
    std::string error;
    switch (RecordParseOptions(argc, argv, options, error)) {
    case RECORDPARSE::Help:
        std::fputs(kRecordUsage, stdout);
        return 0;
    case RECORDPARSE::Version:
        std::printf("kelp2207-record %s\n", KELP2207_VERSION);
        return 0;
    case RECORDPARSE::Usage:
        std::fprintf(stderr, "kelp2207-record: %s (--help tells more)\n", error.c_str());
        return 2;
    case RECORDPARSE::Record:
        break;
    }
    RecordCatchSignals(); // before ffmpeg starts: a Ctrl+C from now on ends the recording cleanly
    auto output = RecordOpenOutput(options, error);
    if (!output) {
        std::fprintf(stderr, "kelp2207-record: %s\n", error.c_str());
        return 1;
    }
    return RecordShow(options, *output);
}
