#pragma once
// What a terminal shows after it received some bytes: text overwrites at the
// cursor, "\n" starts the next line (as a terminal's output processing does),
// "\r" and "\b" move the cursor, ESC [ K erases to the end of the line. Any
// other escape sequence fails the test: the program must not send one.

#include <string>
#include <string_view>
#include <vector>

class TerminalScreen {
public:
    void Put(std::string_view bytes);

    // Every line, joined with "\n", trailing spaces kept.
    std::string Text() const;
    const std::string& CurrentLine() const { return m_lines[m_row]; }
    std::size_t CursorColumn() const { return m_column; }

private:
    std::vector<std::string> m_lines{std::string()};
    std::size_t m_row = 0;
    std::size_t m_column = 0;
    std::string m_escape;  // an escape sequence being received
};
