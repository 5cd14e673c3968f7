#pragma once

#include <atomic>

class CCopyThread;

// The job under way, for the Ctrl-C handler; null outside Execute.
extern std::atomic<CCopyThread*> g_pCopyThread;
// Set once, by the job's destruction; never reset.
extern std::atomic<bool> g_bCopyDone;

// Runs on the interrupt's own thread for every Ctrl-C: beeps, says so, cancels
// the job and waits until it is gone.
void CtrlCHandler();
