#include "record/interrupt.h"

#include <signal.h>

#include <csignal>
#include <initializer_list>

namespace {
volatile std::sig_atomic_t interrupted = 0;

void OnSignal(int) { interrupted = 1; }
} // namespace

void RecordCatchSignals() {
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a write to a stalled encoder returns EINTR
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

bool RecordInterrupted() { return interrupted != 0; }
