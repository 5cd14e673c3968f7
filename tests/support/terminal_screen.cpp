#include "tests/support/terminal_screen.h"

#include <gtest/gtest.h>

void TerminalScreen::Put(std::string_view bytes)
{
    for (const char byte : bytes) {
        std::string& line = m_lines[m_row];
        if (!m_escape.empty()) {
            m_escape += byte;
            if (m_escape == "\x1b[K") {
                line.resize(std::min(line.size(), m_column));
                m_escape.clear();
            } else if (m_escape.size() >= 3) {
                ADD_FAILURE() << "unexpected escape sequence " << testing::PrintToString(m_escape);
                m_escape.clear();
            }
        } else if (byte == '\x1b') {
            m_escape.assign(1, byte);
        } else if (byte == '\n') {
            ++m_row;
            m_column = 0;
            if (m_row == m_lines.size())
                m_lines.emplace_back();
        } else if (byte == '\r') {
            m_column = 0;
        } else if (byte == '\b') {
            if (m_column > 0)
                --m_column;
        } else {
            if (line.size() <= m_column)
                line.resize(m_column + 1, ' ');
            line[m_column++] = byte;
        }
    }
}

std::string TerminalScreen::Text() const
{
    std::string text;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += m_lines[i];
    }
    return text;
}
