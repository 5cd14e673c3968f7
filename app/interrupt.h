#pragma once

#include <atomic>

class CCopyThread;

// The job under way, for the Ctrl-C handler; null outside Execute.
extern std::atomic<CCopyThread*> g_pCopyThread;
// Set once, by the job's destruction; never reset.
extern std::atomic<bool> g_bCopyDone;

// Runs on a thread of its own for every Ctrl-C: beeps, says so, cancels the
// job and waits until it is gone.
void CtrlCHandler();

// Runs on a thread of its own when the process is asked to end (Linux:
// SIGTERM, SIGHUP, SIGQUIT): cancels the job as Ctrl-C does, without a word,
// and returns once the job is gone, its unfinished image file removed.
void TerminationHandler();
