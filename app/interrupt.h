#pragma once

#include <atomic>

class CCopyThread;

// The job under way, for the Ctrl-C handler; null outside Execute.
extern std::atomic<CCopyThread*> g_pCopyThread;
// Set by the job's destruction; a session resets it before each job.
extern std::atomic<bool> g_bCopyDone;
// Set by every Ctrl-C (and request to end), job or no job: a session ends,
// a cancelled job is logged as such.
extern std::atomic<bool> g_bInterrupted;
// Handlers still answering a Ctrl-C, so that the last lines wait for theirs.
extern std::atomic<int> g_nAnswering;

// Runs on a thread of its own for every Ctrl-C: beeps, says so, cancels the
// job and waits until it is gone (one step only when there is none, as at a
// session's prompt).
void CtrlCHandler();

// Runs on a thread of its own when the process is asked to end (Linux:
// SIGTERM, SIGHUP, SIGQUIT): cancels the job as Ctrl-C does, without a word,
// and returns once the job is gone, its unfinished image file removed.
void TerminationHandler();
