// Where the recorder's frames and sound go. Every output is written to completion or not at
// all: a failed or interrupted recording leaves nothing that looks complete.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "img/img.h"
#include "record/options.h"

struct RECORDOUTPUT {
    virtual ~RECORDOUTPUT() = default;
    // Takes the picture of the frame being recorded: the caller may change it right after.
    virtual bool Picture(const IMG* picture) = 0;
    // Writes the frame taken last with the sound that plays during it (16-bit little-endian
    // mono values); `showings` is how many 50-a-second video frames it stands for.
    virtual bool Frame(const uint8_t* sound, size_t bytes, int showings) = 0;
    virtual bool Finish() = 0; // completes the output under its name
    virtual void Abandon() = 0; // removes what was written
    std::string error;          // why the last call failed, one line
};

// Makes the output the options name (a folder, an ffmpeg child, nothing); null with `error`.
std::unique_ptr<RECORDOUTPUT> RecordOpenOutput(const RECORDOPTIONS& options, std::string& error);
