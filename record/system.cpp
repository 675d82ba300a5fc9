#include "record/system.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

extern char** environ;
#endif

namespace {
volatile std::sig_atomic_t interrupted = 0;

// The last line that is not empty, without its end, and cut at 500 bytes.
std::string LastLine(const std::string& text) {
    size_t end = text.find_last_not_of("\r\n");
    if (end == std::string::npos) return "";
    const size_t start = text.find_last_of("\r\n", end);
    const size_t first = start == std::string::npos ? 0 : start + 1;
    return text.substr(first, std::min<size_t>(end + 1 - first, 500));
}
} // namespace

bool RecordInterrupted() { return interrupted != 0; }

#if defined(_WIN32)

const char* const kRecordNullDevice = "NUL";

struct RECORDCHILD {
    HANDLE process = nullptr;
    HANDLE pipes[2] = {nullptr, nullptr}; // the pictures', the sound's: the recorder's ends
    HANDLE messages = nullptr;            // the encoder's standard error, a file deleted on close
};

namespace {
// The running encoder, for the console handler to end: a write blocked on its full pipe then
// fails at once. Guarded, as the handler runs on a thread of its own.
std::mutex guard;
HANDLE running = nullptr;

void SetRunning(HANDLE process) {
    std::lock_guard<std::mutex> hold(guard);
    running = process;
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
    interrupted = 1;
    {
        std::lock_guard<std::mutex> hold(guard);
        if (running) TerminateProcess(running, 1);
    }
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    // The console is closing (or the session ending): the process is ended as soon as this
    // returns, so it returns late enough for the recording to be abandoned first; the process
    // ends on its own before then.
    Sleep(4500);
    return TRUE;
}

void Close(HANDLE& handle) {
    if (handle) CloseHandle(handle);
    handle = nullptr;
}

// One argument of a command line as the C runtime's parser reads it back: quoted when it holds
// a space or a quote, its backslashes doubled where they precede a quote.
void Quote(std::string& line, const std::string& argument) {
    if (!line.empty()) line += ' ';
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
        line += argument;
        return;
    }
    line += '"';
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, '\\');
    line += '"';
}

std::string Reason(DWORD code = GetLastError()) {
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                   nullptr);
    text[std::strcspn(text, "\r\n")] = 0;
    return *text ? text : "error " + std::to_string(code);
}
} // namespace

void RecordCatchSignals() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

RECORDCHILD* RecordStartChild(const std::vector<std::string>& arguments, bool sound, const std::string& output,
                              std::string& error) {
    char program[MAX_PATH];
    const std::string exe = arguments[0] + ".exe";
    if (!SearchPathA(nullptr, exe.c_str(), nullptr, sizeof program, program, nullptr)) {
        error = exe + " not found on PATH: put one there to write " + output +
                ", or record into a folder, which needs nothing else";
        return nullptr;
    }
    auto* child = new RECORDCHILD;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    // The child's ends are inherited, the recorder's are not. A large buffer: fewer turns
    // between the two processes.
    HANDLE reads[2] = {nullptr, nullptr};
    for (int i = 0; i < (sound ? 2 : 1); ++i) {
        if (!CreatePipe(&reads[i], &child->pipes[i], &inherited, 1 << 20) ||
            !SetHandleInformation(child->pipes[i], HANDLE_FLAG_INHERIT, 0)) {
            error = "pipe: " + Reason();
            Close(reads[0]);
            Close(reads[1]);
            RecordEndChild(child);
            return nullptr;
        }
    }
    HANDLE none = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                              OPEN_EXISTING, 0, nullptr);
    char folder[MAX_PATH], name[MAX_PATH];
    if (GetTempPathA(sizeof folder, folder) && GetTempFileNameA(folder, "klp", 0, name)) {
        child->messages = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (child->messages == INVALID_HANDLE_VALUE) child->messages = nullptr;
    }
    // Descriptors 3 and 4 reach the child's C runtime as the runtime itself passes them on to a
    // child: a count, a flags byte each, then the handles, in the start-up record's reserved
    // field. Descriptors 0 to 2 as well, the same as its standard handles.
    constexpr unsigned char kOpen = 0x01, kPipe = 0x08, kDevice = 0x40;
    const int count = 5;
    HANDLE handles[count] = {none, none, child->messages ? child->messages : none, reads[0],
                             sound ? reads[1] : INVALID_HANDLE_VALUE};
    unsigned char flags[count] = {kOpen | kDevice, kOpen | kDevice, static_cast<unsigned char>(child->messages ? kOpen : kOpen | kDevice),
                                  kOpen | kPipe, static_cast<unsigned char>(sound ? kOpen | kPipe : 0)};
    std::vector<unsigned char> reserved(sizeof(int) + count * (1 + sizeof(HANDLE)));
    std::memcpy(reserved.data(), &count, sizeof(int));
    std::memcpy(reserved.data() + sizeof(int), flags, count);
    std::memcpy(reserved.data() + sizeof(int) + count, handles, count * sizeof(HANDLE));

    STARTUPINFOA start = {};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = none;
    start.hStdOutput = none;
    start.hStdError = handles[2];
    start.cbReserved2 = WORD(reserved.size());
    start.lpReserved2 = reserved.data();
    std::string line;
    for (const auto& argument : arguments) Quote(line, argument);
    PROCESS_INFORMATION started = {};
    // No console: Ctrl+C and the console closing reach the recorder alone, which then ends it.
    const BOOL ok = CreateProcessA(program, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                   &start, &started);
    const DWORD failure = GetLastError();
    Close(reads[0]);
    Close(reads[1]);
    Close(none);
    if (!ok) {
        error = "cannot start " + std::string(program) + ": " + Reason(failure);
        RecordEndChild(child);
        return nullptr;
    }
    CloseHandle(started.hThread);
    child->process = started.hProcess;
    SetRunning(child->process);
    return child;
}

bool RecordFeed(RECORDCHILD* child, bool sound, const void* data, size_t bytes) {
    HANDLE pipe = child->pipes[sound ? 1 : 0];
    auto* at = static_cast<const char*>(data);
    while (bytes > 0 && !RecordInterrupted()) {
        DWORD written = 0;
        const DWORD chunk = bytes > (1u << 30) ? (1u << 30) : DWORD(bytes);
        if (!pipe || !WriteFile(pipe, at, chunk, &written, nullptr) || written == 0) return false;
        at += written;
        bytes -= written;
    }
    return bytes == 0;
}

int RecordFinishChild(RECORDCHILD* child) {
    Close(child->pipes[0]);
    Close(child->pipes[1]);
    // Waited in slices, so an interruption meanwhile is heard.
    while (WaitForSingleObject(child->process, 100) == WAIT_TIMEOUT) {
        if (RecordInterrupted()) return -1;
    }
    DWORD code = 1;
    GetExitCodeProcess(child->process, &code);
    return code == 0 ? 0 : 1;
}

std::string RecordChildMessage(RECORDCHILD* child) {
    if (!child->messages) return "";
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), child->messages, GetCurrentProcess(), &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        return "";
    }
    SetFilePointer(copy, 0, nullptr, FILE_BEGIN);
    std::string text;
    char buffer[4096];
    DWORD n = 0;
    while (text.size() < (1u << 20) && ReadFile(copy, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
    CloseHandle(copy);
    return LastLine(text);
}

void RecordEndChild(RECORDCHILD* child) {
    if (!child) return;
    Close(child->pipes[0]);
    Close(child->pipes[1]);
    if (child->process) {
        SetRunning(nullptr);
        // Windows cannot ask a program without a console to stop: it is ended, and waited for,
        // so the file it was writing can be removed.
        if (WaitForSingleObject(child->process, 0) == WAIT_TIMEOUT) TerminateProcess(child->process, 1);
        WaitForSingleObject(child->process, 10000);
        Close(child->process);
    }
    Close(child->messages);
    delete child;
}

#else

const char* const kRecordNullDevice = "/dev/null";

struct RECORDCHILD {
    pid_t pid = -1;
    int pipes[2] = {-1, -1};        // the pictures', the sound's: the recorder's ends
    std::FILE* messages = nullptr;  // the encoder's standard error
};

namespace {
void OnSignal(int) { interrupted = 1; }

void Close(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}
} // namespace

void RecordCatchSignals() {
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a write to a stalled encoder returns EINTR
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

RECORDCHILD* RecordStartChild(const std::vector<std::string>& arguments, bool sound, const std::string& output,
                              std::string& error) {
    auto* child = new RECORDCHILD;
    int reads[2] = {-1, -1};
    for (int i = 0; i < 2; ++i) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            error = "pipe: " + std::string(std::strerror(errno));
            Close(reads[0]);
            RecordEndChild(child);
            return nullptr;
        }
        reads[i] = ends[0];
        child->pipes[i] = ends[1];
        fcntl(ends[1], F_SETPIPE_SZ, 1 << 20); // fewer turns between the two processes
    }
    child->messages = std::tmpfile();
    if (child->messages) fcntl(fileno(child->messages), F_SETFD, FD_CLOEXEC); // the child gets it as fd 2 only
    // The encoder in a process group of its own: a terminal's Ctrl+C reaches the recorder
    // alone, which then ends the encoder itself. The signals the recorder ignores or catches
    // are the defaults again in the encoder.
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
    if (child->messages) posix_spawn_file_actions_adddup2(&actions, fileno(child->messages), 2);
    posix_spawn_file_actions_adddup2(&actions, reads[0], 3);
    posix_spawn_file_actions_adddup2(&actions, reads[1], 4);
    std::vector<char*> argv;
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int spawned = posix_spawnp(&child->pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    Close(reads[0]);
    Close(reads[1]);
    if (!sound) Close(child->pipes[1]);
    if (spawned != 0) {
        child->pid = -1;
        error = spawned == ENOENT ? arguments[0] + " not found: install it (apt-get install " + arguments[0] +
                                        ") to write " + output
                                  : "cannot start " + arguments[0] + ": " + std::string(std::strerror(spawned));
        RecordEndChild(child);
        return nullptr;
    }
    return child;
}

bool RecordFeed(RECORDCHILD* child, bool sound, const void* data, size_t bytes) {
    const int fd = child->pipes[sound ? 1 : 0];
    auto* at = static_cast<const uint8_t*>(data);
    while (bytes > 0) {
        const ssize_t n = fd >= 0 ? write(fd, at, bytes) : -1;
        if (n < 0 && errno == EINTR && !RecordInterrupted()) continue;
        if (n <= 0) return false;
        at += n;
        bytes -= size_t(n);
    }
    return true;
}

int RecordFinishChild(RECORDCHILD* child) {
    Close(child->pipes[0]);
    Close(child->pipes[1]);
    int status = -1;
    while (child->pid > 0) {
        if (waitpid(child->pid, &status, 0) == child->pid) {
            child->pid = -1;
        } else if (errno != EINTR || RecordInterrupted()) {
            return -1;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

std::string RecordChildMessage(RECORDCHILD* child) {
    if (!child->messages) return "";
    std::fflush(child->messages);
    std::rewind(child->messages);
    std::string text;
    char buffer[4096];
    for (size_t n; text.size() < (1u << 20) && (n = std::fread(buffer, 1, sizeof buffer, child->messages)) > 0;) {
        text.append(buffer, n);
    }
    return LastLine(text);
}

void RecordEndChild(RECORDCHILD* child) {
    if (!child) return;
    Close(child->pipes[0]);
    Close(child->pipes[1]);
    if (child->pid > 0) {
        kill(child->pid, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        pid_t ended = 0;
        while ((ended = waitpid(child->pid, nullptr, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (ended == 0) {
            kill(child->pid, SIGKILL);
            while (waitpid(child->pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
    }
    if (child->messages) std::fclose(child->messages);
    delete child;
}

#endif
