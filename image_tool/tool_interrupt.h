#pragma once
// Ctrl-C, and the signals that ask the process to end, while a command
// writes a file: the command is cancelled, removes its unfinished file, and
// the process then ends (a termination signal: by that signal).

// Installs the handlers; the commands that only read keep the default (the
// process ends at once, having written nothing).
void CancelOnInterrupt();

// Asked by the replace of the new file, right before it takes the target's place.
bool CommandCancelled();

// The command is over and its unfinished file gone: a process asked to end
// ends now, by the signal; otherwise returns.
void EndCommand();
