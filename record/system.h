// What differs between Linux and Windows for the recorder, in one place: the encoder as a child
// process fed through two pipes of its own, and the interruptions that end a recording (Ctrl+C
// and its kin), after which nothing that looks complete is left.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// From here on, before any encoder starts, an interruption ends the recording instead of the
// process: on Linux SIGINT, SIGTERM and SIGHUP (a blocked write or wait is interrupted by them,
// not restarted; SIGPIPE is ignored, so a dead encoder shows as a failed write); on Windows
// Ctrl+C, Ctrl+Break and the console closing (the encoder is then ended at once, which
// unblocks a write to it).
void RecordCatchSignals();

// True once an interruption has come.
bool RecordInterrupted();

// The null device's name here, which as OUTPUT records nothing.
extern const char* const kRecordNullDevice;

// A running encoder; the system's own handles inside.
struct RECORDCHILD;

// Starts the encoder with these arguments (the first is the program, looked up as the system
// looks up commands). It reads the pictures on its descriptor 3 and, with `sound`, the sound on
// its descriptor 4 (ffmpeg's pipe:3 and pipe:4); its standard input and output are the null
// device, and what it says on standard error is kept for RecordChildMessage. It gets no signal
// or console event meant for the recorder. Null when it cannot start, with one line in `error`
// (naming `output` when the program is missing).
RECORDCHILD* RecordStartChild(const std::vector<std::string>& arguments, bool sound, const std::string& output,
                              std::string& error);

// Writes all the bytes into the pictures' pipe or the sound's; false when the write fails or an
// interruption ends the recording meanwhile.
bool RecordFeed(RECORDCHILD* child, bool sound, const void* data, size_t bytes);

// Closes the pipes and waits for the encoder to end: 0 when it ended well, 1 when it failed, -1
// when an interruption came meanwhile (the encoder is left to RecordEndChild).
int RecordFinishChild(RECORDCHILD* child);

// The last line the encoder said, or empty.
std::string RecordChildMessage(RECORDCHILD* child);

// Ends the encoder if it still runs (asked first where the system can ask, made to after a few
// seconds), then releases everything of it. Null is fine.
void RecordEndChild(RECORDCHILD* child);
