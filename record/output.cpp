#include "record/output.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

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

bool WriteAll(int fd, const void* data, size_t bytes) {
    auto* at = static_cast<const uint8_t*>(data);
    while (bytes > 0) {
        const ssize_t n = write(fd, at, bytes);
        if (n < 0 && errno == EINTR) continue;
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
    int written = 0;
    std::string framePath, partialWav, finalWav;

    bool Open(const RECORDOPTIONS& options) {
        if (options.frames > 1000000) {
            error = "a folder holds at most 1000000 frames, 000000.ppm to 999999.ppm";
            return false;
        }
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

    bool Picture(const IMG* p) override {
        picture.Of(p);
        return true;
    }

    bool Frame(const uint8_t* sound, size_t bytes, int) override {
        // The frame's name is written into one path kept for all of them: no allocation a frame.
        char digits[16];
        std::snprintf(digits, sizeof digits, "%06d", written);
        framePath.replace(framePath.size() - 10, 6, digits, 6);
        if (!IMGWritePPM(picture.big, framePath.c_str())) {
            error = "cannot write " + framePath + ": " + Reason();
            return false;
        }
        ++written;
        if (!WAVAppend(wav, sound, bytes)) {
            error = "cannot write " + partialWav + ": " + Reason();
            return false;
        }
        return true;
    }

    bool Finish() override {
        if (!WAVClose(wav) || std::rename(partialWav.c_str(), finalWav.c_str()) != 0) {
            error = "cannot write " + finalWav + ": " + Reason();
            return false;
        }
        // Frames beyond these, left by a longer recording into the same folder, are not of it.
        for (int i = written;; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%06d.ppm", i);
            std::error_code ignored;
            if (!fs::remove(folder / name, ignored)) break;
        }
        return true;
    }

    void Abandon() override {
        WAVClose(wav);
        std::remove(partialWav.c_str());
        for (int i = 0; i < written; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%06d.ppm", i);
            std::error_code ignored;
            fs::remove(folder / name, ignored);
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
        if (pipe2(v, O_CLOEXEC) != 0 || pipe2(s, O_CLOEXEC) != 0) return (error = "pipe: " + Reason(), false);
        fcntl(v[1], F_SETPIPE_SZ, 1 << 20); // fewer turns between the two processes
        fcntl(s[1], F_SETPIPE_SZ, 1 << 20);
        messages = std::tmpfile();
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
        const int spawned = posix_spawnp(&child, "ffmpeg", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
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

    // ffmpeg's own last line says best why it stopped.
    bool Failed() {
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

    int CloseAndWait() {
        if (video >= 0) close(video);
        if (audio >= 0) close(audio);
        video = audio = -1;
        int status = -1;
        if (child > 0) {
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            child = -1;
        }
        return status;
    }

    bool Finish() override {
        const int status = CloseAndWait();
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

    void Abandon() override {
        if (child > 0) kill(child, SIGTERM);
        CloseAndWait();
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
