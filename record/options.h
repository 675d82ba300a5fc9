// The recorder's command line.
#pragma once
#include <string>
#include <vector>

#include "driver/show.h"

// Where the frames go: a folder of pictures and a WAV file, a video file through ffmpeg, or
// nowhere (OUTPUT /dev/null: the show is played and its frames and sound dropped, for timing).
enum class RECORDKIND { Folder, Matroska, MP4, WebM, GIF, Discard };

struct RECORDKEY {
    int frame; // the key acts in this frame's frame end
    int code;  // the key byte, as the keyboard gives it
};

struct RECORDOPTIONS {
    int frames = int(kDemoParts.size()) * kPartLength; // every part once
    std::vector<RECORDKEY> keys;                       // in frame order
    int scale = 1;                                     // 1 to 8, whole pixels
    std::vector<int> only;                             // a folder's pictures to write, ascending; empty: every one
    bool quiet = false;
    std::string output;
    RECORDKIND kind = RECORDKIND::Folder;
};

enum class RECORDPARSE { Record, Help, Version, Usage };

// Reads the arguments into `options`; Usage with a one-line `error` when they are wrong.
RECORDPARSE RecordParseOptions(int argc, const char* const* argv, RECORDOPTIONS& options, std::string& error);

extern const char* const kRecordUsage;
