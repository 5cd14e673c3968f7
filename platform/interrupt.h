#pragma once
// Ctrl-C, and the signals that ask the process to end while a job runs.

namespace platform {

// Called for each Ctrl-C, on a thread of its own; it may print, sleep and
// wait, and a further Ctrl-C meanwhile calls it again on another thread.
using InterruptHandler = void (*)();

// Installs `handler` for Ctrl-C. On Linux `onTermination`, when given, is
// called on a thread of its own for the first SIGTERM, SIGHUP or SIGQUIT
// (later ones are dropped): it stops the job and returns once the job is gone;
// the process then ends as the signal demands. Every other console event or
// signal keeps its default (the process ends). Returns false when it cannot
// be installed.
bool InstallInterruptHandler(InterruptHandler handler, InterruptHandler onTermination = nullptr);

// Ends the process as the signal would have when it was asked to end while
// the job ran (see onTermination); returns at once otherwise.
void EndIfAskedToEnd();

}  // namespace platform
