#include "record/options.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "driver/keys.h"
#include "record/system.h"

const char* const kRecordUsage =
    "usage: kelp2207-record [--frames N] [--keys LIST] [--scale K] [--only LIST] [--quiet] OUTPUT\n"
    "\n"
    "Plays the KELP2207 show on a virtual clock, without a window or a sound card, and writes\n"
    "every frame and exactly the sound that goes with it.\n"
    "\n"
    "  OUTPUT         a folder: 000000.ppm, 000001.ppm, ... and music.wav (16-bit mono, 44100 Hz);\n"
    "                 a file ending in .mkv (lossless FFV1 + FLAC), .mp4 (H.264 + AAC), .webm\n"
    "                 (VP9 + Opus) or .gif (no sound), encoded by ffmpeg; /dev/null to write nothing\n"
    "  --frames N     how many frames (default 4092, the four parts once)\n"
    "  --keys LIST    key presses at frames, such as 300:f,1200:space,2000:5; keys: esc, space,\n"
    "                 1, a, s, 5, 6, f. A press acts at the end of the frame it names; esc\n"
    "                 records the fade and ends the recording\n"
    "  --scale K      enlarge by K whole pixels, 1 to 8 (default 1)\n"
    "  --only LIST    into a folder, write only these frames' pictures, such as 0,511,1022\n"
    "                 (the music stays whole)\n"
    "  --quiet        no progress bar\n"
    "  --help         this text\n"
    "  --version      the version\n"
    "\n"
    "Videos run at 50 frames a second; a frame of a 25-frames-a-second stretch stands twice.\n"
    "Exit status: 0 done, 1 failed (nothing that looks complete is left), 2 bad usage.\n";

namespace {
bool Number(const char* text, long low, long high, long& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno || *end || v < low || v > high) return false;
    value = v;
    return true;
}

// The command-line names of the show's keys: "esc, space, 1, ...".
std::string KeyNames() {
    std::string names;
    for (const DEMOKEY& key : kDemoKeys) names += (names.empty() ? "" : ", ") + std::string(key.name);
    return names;
}

bool EndsWith(const std::string& text, const char* end) {
    const size_t n = std::strlen(end);
    return text.size() > n && text.compare(text.size() - n, n, end) == 0;
}

bool ParseFrames(const std::string& list, std::vector<int>& frames, std::string& error) {
    size_t at = 0;
    while (at <= list.size()) {
        const size_t comma = std::min(list.find(',', at), list.size());
        const std::string item = list.substr(at, comma - at);
        long frame = 0;
        if (!Number(item.c_str(), 0, INT_MAX, frame)) {
            error = "--only: '" + item + "' is not a frame number";
            return false;
        }
        frames.push_back(int(frame));
        at = comma + 1;
    }
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return true;
}

bool ParseKeys(const std::string& list, std::vector<RECORDKEY>& keys, std::string& error) {
    size_t at = 0;
    while (at <= list.size()) {
        const size_t comma = std::min(list.find(',', at), list.size());
        const std::string item = list.substr(at, comma - at);
        const size_t colon = item.find(':');
        long frame = 0;
        if (colon == std::string::npos || !Number(item.substr(0, colon).c_str(), 0, INT_MAX, frame)) {
            error = "--keys: '" + item + "' is not FRAME:KEY";
            return false;
        }
        const DEMOKEY* key = DemoFindKeyName(item.substr(colon + 1).c_str());
        if (!key) {
            error = "--keys: unknown key '" + item.substr(colon + 1) + "' (keys: " + KeyNames() + ")";
            return false;
        }
        if (!keys.empty() && frame <= keys.back().frame) {
            error = "--keys: frame " + std::to_string(frame) + " comes after frame " +
                    std::to_string(keys.back().frame) + "; list the presses in frame order, one a frame";
            return false;
        }
        keys.push_back({int(frame), key->code});
        at = comma + 1;
    }
    return true;
}
} // namespace

RECORDPARSE RecordParseOptions(int argc, const char* const* argv, RECORDOPTIONS& options, std::string& error) {
    options = RECORDOPTIONS{};
    bool haveOutput = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool takesValue = false;
        for (const char* name : {"--frames", "--keys", "--scale", "--only"}) {
            const size_t n = std::strlen(name);
            if (arg.compare(0, n, name) == 0 && (arg.size() == n || arg[n] == '=')) takesValue = true;
        }
        if (takesValue) {
            const size_t equals = arg.find('=');
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
                arg.resize(equals);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                error = arg + " needs a value";
                return RECORDPARSE::Usage;
            }
        }
        long number = 0;
        if (arg == "--help" || arg == "-h") return RECORDPARSE::Help;
        if (arg == "--version") return RECORDPARSE::Version;
        if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (arg == "--frames") {
            if (!Number(value.c_str(), 1, INT_MAX, number)) {
                error = "--frames wants a whole number from 1 up, not '" + value + "'";
                return RECORDPARSE::Usage;
            }
            options.frames = int(number);
        } else if (arg == "--scale") {
            if (!Number(value.c_str(), 1, 8, number)) {
                error = "--scale wants a whole number from 1 to 8, not '" + value + "'";
                return RECORDPARSE::Usage;
            }
            options.scale = int(number);
        } else if (arg == "--only") {
            options.only.clear();
            if (!ParseFrames(value, options.only, error)) return RECORDPARSE::Usage;
        } else if (arg == "--keys") {
            options.keys.clear();
            if (!ParseKeys(value, options.keys, error)) return RECORDPARSE::Usage;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "unknown option " + arg;
            return RECORDPARSE::Usage;
        } else if (haveOutput) {
            error = "one OUTPUT only, not also '" + arg + "'";
            return RECORDPARSE::Usage;
        } else {
            options.output = arg;
            haveOutput = true;
        }
    }
    if (!haveOutput || options.output.empty()) {
        error = "no OUTPUT given";
        return RECORDPARSE::Usage;
    }
    if (!options.keys.empty() && options.keys.back().frame >= options.frames) {
        error = "--keys: frame " + std::to_string(options.keys.back().frame) + " is past the last frame (" +
                std::to_string(options.frames - 1) + ")";
        return RECORDPARSE::Usage;
    }
    if (!options.only.empty() && options.only.back() >= options.frames) {
        error = "--only: frame " + std::to_string(options.only.back()) + " is past the last frame (" +
                std::to_string(options.frames - 1) + ")";
        return RECORDPARSE::Usage;
    }
    const std::string& out = options.output;
    if (out == "/dev/null" || out == kRecordNullDevice) { // and Windows' own name for it
        options.kind = RECORDKIND::Discard;
    } else if (EndsWith(out, ".mkv")) {
        options.kind = RECORDKIND::Matroska;
    } else if (EndsWith(out, ".mp4")) {
        options.kind = RECORDKIND::MP4;
    } else if (EndsWith(out, ".webm")) {
        options.kind = RECORDKIND::WebM;
    } else if (EndsWith(out, ".gif")) {
        options.kind = RECORDKIND::GIF;
    } else {
        options.kind = RECORDKIND::Folder;
    }
    if (!options.only.empty() && options.kind != RECORDKIND::Folder && options.kind != RECORDKIND::Discard) {
        error = "--only picks pictures for a folder OUTPUT; a video holds every frame";
        return RECORDPARSE::Usage;
    }
    return RECORDPARSE::Record;
}
