#include "app/session_names.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Where the final part of a name starts: after its last folder separator.
std::size_t FinalPartStart(const std::string& name)
{
    const std::size_t separator = name.find_last_of("/\\");
    return separator == std::string::npos ? 0 : separator + 1;
}

// A counter of more digits than fit starts from the largest number that does.
std::uint64_t CounterValue(const std::string& digits)
{
    std::uint64_t value = 0;
    for (const char digit : digits) {
        if (value > (UINT64_MAX - 9) / 10)
            return UINT64_MAX / 10;
        value = value * 10 + static_cast<std::uint64_t>(digit - '0');
    }
    return value;
}

}  // namespace

CSessionNames::CSessionNames(const std::string& first)
{
    const std::size_t start = FinalPartStart(first);
    std::size_t end = first.size();
    while (end > start && !IsDigit(first[end - 1]))
        --end;
    if (end > start) {
        std::size_t begin = end;
        while (begin > start && IsDigit(first[begin - 1]))
            --begin;
        m_prefix = first.substr(0, begin);
        m_suffix = first.substr(end);
        m_width = end - begin;
        m_first = CounterValue(first.substr(begin, end - begin));
        return;
    }
    // No digits: the counter goes before the extension; a leading dot
    // (".dsk") starts a name, not an extension.
    const std::size_t dot = first.rfind('.');
    const std::size_t split = dot == std::string::npos || dot <= start ? first.size() : dot;
    m_prefix = first.substr(0, split) + "-";
    m_suffix = first.substr(split);
}

std::string CSessionNames::NameFor(std::uint64_t number) const
{
    std::string digits = std::to_string(number);
    if (digits.size() < m_width)
        digits.insert(0, m_width - digits.size(), '0');
    return m_prefix + digits + m_suffix;
}
