// Ctrl+C, kill and a closing terminal end a recording: nothing that looks complete is left.
#pragma once

// Catches SIGINT, SIGTERM and SIGHUP from here on, before any encoder starts. A blocking
// write or wait is interrupted by them (they do not restart it), so a recording blocked on a
// stalled encoder still ends. SIGPIPE is ignored: a dead encoder shows as a failed write.
void RecordCatchSignals();

// True once one of those signals has come.
bool RecordInterrupted();
