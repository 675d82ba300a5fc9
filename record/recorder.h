// The recorder: the real show, started and run as the live program does, on a virtual clock
// that advances one period a frame, with the platform's seams taking its frames, keys and
// sound instead of a window, a keyboard and an audio device.
#pragma once
#include "record/options.h"
#include "record/output.h"

// Plays the show into `output` and ends the process: 0 when the recording is complete, 1
// (with one line on standard error and the output abandoned) when it failed.
[[noreturn]] void RecordShow(const RECORDOPTIONS& options, RECORDOUTPUT& output);
