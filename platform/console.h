#pragma once
// Standard output and error, and the bell and the pause the program needs
// around them.

#include <cstddef>

namespace platform {

// Call first of all. Opens descriptors 0, 1 and 2 onto the null device where
// they are closed (Linux hands out the lowest free number, so the next file
// opened would otherwise become standard output and receive console text),
// and makes a write to a reader that has gone away fail instead of ending the
// process, so that the job runs to its end. False when a closed one cannot be
// opened: the program must then open nothing at all.
bool PrepareStandardStreams();

// Standard output was closed when the program started (it now leads to the
// null device): whatever is written there is lost, so a command whose
// product is its output must refuse to run.
bool StandardOutputWasClosed();

// Makes standard output unbuffered so that every announcement is visible
// before its stage runs. Call once at start.
void PrepareStandardOutput();

// Writes the bytes unchanged to standard output. Never disturbs the last error.
void WriteStandardOutput(const char* data, std::size_t size);

// Lets binary data through standard output unchanged (Windows: the runtime's
// text mode would put a CR before every LF byte). False when that fails.
bool MakeStandardOutputBinary();

// True when standard output is a terminal (Windows: a console), where binary
// data would only garble the screen.
bool StandardOutputIsTerminal();

// True when standard output and standard error are one terminal, where a
// note must not begin on the open line of the other stream.
bool StandardStreamsShareTerminal();

// Live progress goes to standard error so that standard output stays exact.
// Tells whether standard error can show it: a terminal (not TERM=dumb) that
// takes backspace and erase-to-end-of-line (Windows: a console whose
// virtual-terminal processing could be enabled; older consoles show none).
bool PrepareProgressTerminal();

// Width of the terminal on standard error in columns; 0 when unknown.
unsigned ProgressTerminalColumns();

// Tells whether standard output is a terminal that shows colours: not
// redirected, not TERM=dumb, no NO_COLOR set (Windows: a console whose
// virtual-terminal processing could be enabled).
bool PrepareColourOutput();

// Writes the bytes to standard error, as text: Windows ends each line with
// CR LF, as on standard output. Never disturbs the last error.
void WriteStandardError(const char* data, std::size_t size);

// Sounds the bell (Windows: Beep; Linux: BEL on standard error when that is a
// terminal, so standard output stays exact).
void Beep(unsigned frequencyHz, unsigned durationMs);

void SleepMs(unsigned milliseconds);

}  // namespace platform
