// The recorder: the real show, started and run as the live program does, on the headless
// platform: a virtual clock that advances one period a frame, the frames, keys and sound
// taken by the recorder instead of a window, a keyboard and an audio device.
#pragma once
#include "record/options.h"
#include "record/output.h"

// Plays the show into `output`: 0 when the recording is complete, 1 (with one line on
// standard error and the output abandoned) when it failed or was interrupted.
int RecordShow(const RECORDOPTIONS& options, RECORDOUTPUT& output);
