#include "record/output.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "record/system.h"
#include "record/wav.h"

namespace {
namespace fs = std::filesystem;

std::string Reason() { return std::strerror(errno); }

// The picture enlarged by whole pixels, made once so the frames allocate nothing.
struct Enlarger {
    IMG* big = nullptr;
    int scale = 1;
    bool Make(int width, int height, int k) {
        scale = k;
        big = IMGNew();
        if (big) IMGSetSize(big, width * k, height * k);
        return big && big->pixels;
    }
    const IMG* Of(const IMG* picture) {
        if (scale == 1) {
            IMGCopyPixels(picture, big);
        } else {
            IMGScale(picture, big);
        }
        return big;
    }
    ~Enlarger() { IMGFree(&big); }
};

// --- a folder of pictures and a WAV file ----------------------------------------------------

struct FolderOutput final : RECORDOUTPUT {
    fs::path folder;
    Enlarger picture;
    WAVWRITER wav;
    std::vector<int> only; // the pictures to write; empty: all
    int frames = 0;        // frames recorded, pictures or not
    int pictures = 0;      // pictures written
    std::string framePath, partialWav, finalWav;

    bool Open(const RECORDOPTIONS& options) {
        if (options.frames > 1000000) {
            error = "a folder holds at most 1000000 frames, 000000.ppm to 999999.ppm";
            return false;
        }
        only = options.only;
        folder = options.output;
        std::error_code failed;
        fs::create_directories(folder, failed);
        if (!fs::is_directory(folder)) {
            error = "cannot make the folder " + options.output + (failed ? ": " + failed.message() : "");
            return false;
        }
        framePath = (folder / "000000.ppm").string();
        finalWav = (folder / "music.wav").string();
        partialWav = finalWav + ".partial"; // the finished name appears only when complete
        if (!WAVOpen(wav, partialWav.c_str())) {
            error = "cannot write " + partialWav + ": " + Reason();
            return false;
        }
        return picture.Make(256, 256, options.scale) || (error = "out of memory", false);
    }

    bool Wanted(int frame) const { return only.empty() || std::binary_search(only.begin(), only.end(), frame); }

    bool Picture(const IMG* p) override {
        if (Wanted(frames)) picture.Of(p);
        return true;
    }

    bool Frame(const uint8_t* sound, size_t bytes, int) override {
        if (Wanted(frames)) {
            // The frame's name is written into one path kept for all of them: no allocation a frame.
            char digits[16];
            std::snprintf(digits, sizeof digits, "%06d", frames);
            framePath.replace(framePath.size() - 10, 6, digits, 6);
            if (!IMGWritePPM(picture.big, framePath.c_str())) {
                error = "cannot write " + framePath + ": " + Reason();
                return false;
            }
            ++pictures;
        }
        ++frames;
        if (!WAVAppend(wav, sound, bytes)) {
            error = "cannot write " + partialWav + ": " + Reason();
            return false;
        }
        return true;
    }

    // The frame number of a picture named as this output names them (000000.ppm ...), or -1.
    static int FrameNumber(const fs::path& name) {
        const std::string n = name.filename().string();
        if (n.size() != 10 || n.compare(6, 4, ".ppm") != 0) return -1;
        int number = 0;
        for (int i = 0; i < 6; ++i) {
            if (n[i] < '0' || n[i] > '9') return -1;
            number = number * 10 + (n[i] - '0');
        }
        return number;
    }

    // Removes the pictures in the folder that are not of this recording (all of them with
    // `all`): what an earlier recording left there would pass for frames of this one.
    void RemoveOtherPictures(bool all) {
        std::error_code failed;
        std::vector<fs::path> others;
        for (fs::directory_iterator it(folder, failed), end; !failed && it != end; it.increment(failed)) {
            const int frame = FrameNumber(it->path());
            if (frame >= 0 && (all || frame >= frames || !Wanted(frame))) others.push_back(it->path());
        }
        for (const auto& path : others) fs::remove(path, failed);
    }

    bool Finish() override {
        std::error_code failed;
        if (!WAVClose(wav)) {
            error = "cannot write " + finalWav + ": " + Reason();
            return false;
        }
        // Replacing the music of an earlier recording, on Windows too.
        fs::rename(partialWav, finalWav, failed);
        if (failed) {
            error = "cannot write " + finalWav + ": " + failed.message();
            return false;
        }
        RemoveOtherPictures(false);
        return true;
    }

    void Abandon() override {
        WAVClose(wav);
        std::remove(partialWav.c_str());
        // Once a picture of this recording has replaced one of an earlier one, what is left of
        // the earlier one is no recording either: its pictures and its music go too.
        if (pictures > 0) {
            RemoveOtherPictures(true);
            std::remove(finalWav.c_str());
        }
    }
};

// --- a video file, encoded by an ffmpeg child fed through two pipes -------------------------

struct EncoderOutput final : RECORDOUTPUT {
    Enlarger picture;
    std::vector<uint8_t> rgb; // the frame as ffmpeg reads it
    RECORDCHILD* child = nullptr;
    bool sound = true;
    std::string partial, final;

    static std::vector<std::string> Arguments(const RECORDOPTIONS& o, const std::string& into) {
        const std::string size = std::to_string(256 * o.scale) + "x" + std::to_string(256 * o.scale);
        // The inputs say what they hold, so ffmpeg need not read ahead in one to learn it: while
        // it reads ahead in one pipe, the recorder may wait for room in the other.
        std::vector<std::string> a = {"ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error", "-y",
                                      "-probesize", "32", "-analyzeduration", "0",
                                      "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", size,
                                      "-framerate", "50", "-i", "pipe:3"};
        if (o.kind != RECORDKIND::GIF) {
            a.insert(a.end(), {"-probesize", "32", "-analyzeduration", "0", "-f", "s16le", "-ar", "44100", "-ac",
                               "1", "-i", "pipe:4"});
        }
        switch (o.kind) {
        case RECORDKIND::Matroska:
            a.insert(a.end(), {"-c:v", "ffv1", "-level", "3", "-slices", "4", "-threads", "2", "-pix_fmt", "bgr0",
                               "-c:a", "flac", "-f", "matroska"});
            break;
        case RECORDKIND::MP4:
            a.insert(a.end(), {"-c:v", "libx264", "-preset", "veryfast", "-crf", "16", "-pix_fmt", "yuv420p",
                               "-c:a", "aac", "-b:a", "192k", "-movflags", "+faststart", "-f", "mp4"});
            break;
        case RECORDKIND::WebM:
            a.insert(a.end(), {"-c:v", "libvpx-vp9", "-crf", "24", "-b:v", "0", "-row-mt", "1", "-deadline", "good",
                               "-cpu-used", "4", "-pix_fmt", "yuv420p", "-c:a", "libopus", "-b:a", "128k",
                               "-f", "webm"});
            break;
        default: // an animated picture with a palette made from all its frames
            a.insert(a.end(), {"-filter_complex", "[0:v]split[a][b];[a]palettegen=stats_mode=full[p];[b][p]paletteuse",
                               "-f", "gif"});
            break;
        }
        a.push_back(into);
        return a;
    }

    bool Open(const RECORDOPTIONS& o) {
        final = o.output;
        partial = o.output + ".partial";
        sound = o.kind != RECORDKIND::GIF;
        // Fail before starting when the file cannot be made at all.
        std::FILE* probe = std::fopen(partial.c_str(), "wb");
        if (!probe) {
            error = "cannot write " + partial + ": " + Reason();
            return false;
        }
        std::fclose(probe);
        if (!picture.Make(256, 256, o.scale)) return (error = "out of memory", false);
        rgb.resize(size_t(picture.big->width) * size_t(picture.big->height) * 3);
        child = RecordStartChild(Arguments(o, partial), sound, o.output, error);
        return child != nullptr;
    }

    bool Picture(const IMG* p) override {
        const IMG* big = picture.Of(p);
        const size_t n = size_t(big->width) * size_t(big->height);
        uint8_t* out = rgb.data();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t c = big->pixels[i];
            out[3 * i] = uint8_t(c >> 16);
            out[3 * i + 1] = uint8_t(c >> 8);
            out[3 * i + 2] = uint8_t(c);
        }
        return true;
    }

    bool Frame(const uint8_t* samples, size_t bytes, int showings) override {
        // The sound first: ffmpeg then never waits for sound while the frame's pipe is full.
        if (sound && !RecordFeed(child, true, samples, bytes)) return Failed();
        for (int i = 0; i < showings; ++i) {
            if (!RecordFeed(child, false, rgb.data(), rgb.size())) return Failed();
        }
        return true;
    }

    // ffmpeg's own last line says best why it stopped; an interrupted recording says that,
    // and leaves ffmpeg for Abandon to end.
    bool Failed() {
        if (RecordInterrupted()) return (error = "interrupted", false);
        RecordFinishChild(child);
        error = "ffmpeg failed" + LastMessage();
        return false;
    }

    std::string LastMessage() {
        const std::string last = RecordChildMessage(child);
        return last.empty() ? "" : ": " + last;
    }

    bool Finish() override {
        const int status = RecordFinishChild(child);
        if (RecordInterrupted()) return (error = "interrupted", false);
        if (status != 0) {
            error = "ffmpeg failed" + LastMessage();
            return false;
        }
        std::error_code failed;
        fs::rename(partial, final, failed);
        if (failed) {
            error = "cannot write " + final + ": " + failed.message();
            return false;
        }
        return true;
    }

    // ffmpeg is ended if it still runs: a stalled encoder must not keep the recorder waiting.
    void Abandon() override {
        RecordEndChild(child);
        child = nullptr;
        std::remove(partial.c_str());
    }

    ~EncoderOutput() override { RecordEndChild(child); }
};

struct DiscardOutput final : RECORDOUTPUT {
    bool Picture(const IMG*) override { return true; }
    bool Frame(const uint8_t*, size_t, int) override { return true; }
    bool Finish() override { return true; }
    void Abandon() override {}
};
} // namespace

std::unique_ptr<RECORDOUTPUT> RecordOpenOutput(const RECORDOPTIONS& options, std::string& error) {
    if (options.kind == RECORDKIND::Discard) return std::make_unique<DiscardOutput>();
    if (options.kind == RECORDKIND::Folder) {
        auto out = std::make_unique<FolderOutput>();
        if (out->Open(options)) return out;
        error = out->error;
        out->Abandon();
        return nullptr;
    }
    auto out = std::make_unique<EncoderOutput>();
    if (out->Open(options)) return out;
    error = out->error;
    out->Abandon();
    return nullptr;
}
