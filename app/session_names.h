#pragma once
// The numbered image names of a session: the last group of digits in the
// final part of the first name counts on, keeping its width (box7-001.dsk,
// box7-002.dsk; disk9.dsk, disk10.dsk); a name without digits gets -001
// before its extension (Image.dsk: Image-001.dsk, Image-002.dsk).

#include <cstdint>
#include <string>

class CSessionNames {
public:
    explicit CSessionNames(const std::string& first);

    // The name with counter `number`.
    std::string NameFor(std::uint64_t number) const;
    // The counter of the first name.
    std::uint64_t First() const { return m_first; }

private:
    std::string m_prefix;  // before the counter
    std::string m_suffix;  // after it
    std::size_t m_width = 3;
    std::uint64_t m_first = 1;
};
