#include "record/output.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <thread>
#include <vector>

#include "record/interrupt.h"
#include "record/wav.h"

extern char** environ;

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

// False when the write fails or a signal ends the recording meanwhile (the signal interrupts a
// write that waits on a stalled reader).
bool WriteAll(int fd, const void* data, size_t bytes) {
    auto* at = static_cast<const uint8_t*>(data);
    while (bytes > 0) {
        const ssize_t n = write(fd, at, bytes);
        if (n < 0 && errno == EINTR && !RecordInterrupted()) continue;
        if (n <= 0) return false;
        at += n;
        bytes -= size_t(n);
    }
    return true;
}

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
        if (!WAVClose(wav) || std::rename(partialWav.c_str(), finalWav.c_str()) != 0) {
            error = "cannot write " + finalWav + ": " + Reason();
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
    int video = -1, audio = -1;
    pid_t child = -1;
    FILE* messages = nullptr; // ffmpeg's standard error, for its reason when it fails
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
        // Fail before starting when the file cannot be made at all.
        const int probe = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (probe < 0) {
            error = "cannot write " + partial + ": " + Reason();
            return false;
        }
        close(probe);
        if (!picture.Make(256, 256, o.scale)) return (error = "out of memory", false);
        rgb.resize(size_t(picture.big->width) * size_t(picture.big->height) * 3);
        int v[2], s[2];
        if (pipe2(v, O_CLOEXEC) != 0) return (error = "pipe: " + Reason(), false);
        if (pipe2(s, O_CLOEXEC) != 0) {
            error = "pipe: " + Reason();
            close(v[0]);
            close(v[1]);
            return false;
        }
        fcntl(v[1], F_SETPIPE_SZ, 1 << 20); // fewer turns between the two processes
        fcntl(s[1], F_SETPIPE_SZ, 1 << 20);
        messages = std::tmpfile();
        if (messages) fcntl(fileno(messages), F_SETFD, FD_CLOEXEC); // ffmpeg gets it as fd 2 only
        // ffmpeg in a process group of its own: a terminal's Ctrl+C reaches the recorder alone,
        // which then ends ffmpeg itself. The signals the recorder ignores or catches are the
        // defaults again in ffmpeg.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults, none;
        sigemptyset(&defaults);
        for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, sig);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        if (messages) posix_spawn_file_actions_adddup2(&actions, fileno(messages), 2);
        posix_spawn_file_actions_adddup2(&actions, v[0], 3);
        posix_spawn_file_actions_adddup2(&actions, s[0], 4);
        const std::vector<std::string> args = Arguments(o, partial);
        std::vector<char*> argv;
        for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        const int spawned = posix_spawnp(&child, "ffmpeg", &actions, &attributes, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        close(v[0]);
        close(s[0]);
        video = v[1];
        audio = s[1];
        if (spawned != 0) {
            child = -1;
            error = spawned == ENOENT ? "ffmpeg not found: install it (apt-get install ffmpeg) to write " + o.output
                                      : "cannot start ffmpeg: " + std::string(std::strerror(spawned));
            return false;
        }
        if (o.kind == RECORDKIND::GIF) {
            close(audio);
            audio = -1;
        }
        return true;
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

    bool Frame(const uint8_t* sound, size_t bytes, int showings) override {
        // The sound first: ffmpeg then never waits for sound while the frame's pipe is full.
        if (audio >= 0 && !WriteAll(audio, sound, bytes)) return Failed();
        for (int i = 0; i < showings; ++i) {
            if (!WriteAll(video, rgb.data(), rgb.size())) return Failed();
        }
        return true;
    }

    // ffmpeg's own last line says best why it stopped; an interrupted recording says that,
    // and leaves ffmpeg for Abandon to end.
    bool Failed() {
        if (RecordInterrupted()) return (error = "interrupted", false);
        CloseAndWait();
        error = "ffmpeg failed" + LastMessage();
        return false;
    }

    std::string LastMessage() {
        if (!messages) return "";
        std::fflush(messages);
        std::rewind(messages);
        char line[512], last[512] = "";
        while (std::fgets(line, sizeof line, messages)) {
            if (line[0] != '\n') std::snprintf(last, sizeof last, "%s", line);
        }
        last[std::strcspn(last, "\r\n")] = 0;
        return *last ? std::string(": ") + last : "";
    }

    void ClosePipes() {
        if (video >= 0) close(video);
        if (audio >= 0) close(audio);
        video = audio = -1;
    }

    // With the pipes closed ffmpeg finishes its file and ends; -1 when a signal ended the
    // recording meanwhile (ffmpeg is left running, for Abandon).
    int CloseAndWait() {
        ClosePipes();
        int status = -1;
        while (child > 0) {
            if (waitpid(child, &status, 0) == child) {
                child = -1;
            } else if (errno != EINTR || RecordInterrupted()) {
                return -1;
            }
        }
        return status;
    }

    bool Finish() override {
        const int status = CloseAndWait();
        if (RecordInterrupted()) return (error = "interrupted", false);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            error = "ffmpeg failed" + LastMessage();
            return false;
        }
        if (std::rename(partial.c_str(), final.c_str()) != 0) {
            error = "cannot write " + final + ": " + Reason();
            return false;
        }
        return true;
    }

    // ffmpeg is asked to stop, and made to when it has not within a few seconds: a stalled
    // encoder must not keep the recorder waiting for ever.
    void Abandon() override {
        ClosePipes();
        if (child > 0) {
            kill(child, SIGTERM);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            pid_t ended = 0;
            while ((ended = waitpid(child, nullptr, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            if (ended == 0) {
                kill(child, SIGKILL);
                while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
                }
            }
            child = -1;
        }
        std::remove(partial.c_str());
    }

    ~EncoderOutput() override {
        if (messages) std::fclose(messages);
    }
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
