#include "tests/support/console_capture.h"

#include <algorithm>
#include <cstdio>

ConsoleCapture::ConsoleCapture()
{
    std::fflush(stdout);
    ::testing::internal::CaptureStdout();
}

ConsoleCapture::~ConsoleCapture()
{
    if (m_bActive)
        ::testing::internal::GetCapturedStdout();
}

std::string ConsoleCapture::Text()
{
    std::fflush(stdout);
    m_bActive = false;
    return ::testing::internal::GetCapturedStdout();
}

namespace {

std::string HexAround(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    const std::size_t first = offset < 8 ? 0 : offset - 8;
    const std::size_t last = std::min(bytes.size(), offset + 8);
    std::string text;
    char cell[4];
    for (std::size_t i = first; i < last; ++i) {
        std::snprintf(cell, sizeof cell, "%02X ", bytes[i]);
        text.append(i == offset ? "[" : "").append(cell, 2).append(i == offset ? "] " : " ");
    }
    return text;
}

}  // namespace

::testing::AssertionResult SameBytes(const std::vector<std::uint8_t>& expected,
                                     const std::vector<std::uint8_t>& actual)
{
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    if (mismatch.first == expected.end() && mismatch.second == actual.end())
        return ::testing::AssertionSuccess();
    const auto offset = static_cast<std::size_t>(mismatch.first - expected.begin());
    return ::testing::AssertionFailure()
           << "first difference at offset " << offset << " (sizes " << expected.size() << " expected, "
           << actual.size() << " actual)\n  expected: " << HexAround(expected, offset)
           << "\n  actual:   " << HexAround(actual, offset);
}

::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual)
{
    return SameBytes(std::vector<std::uint8_t>(expected.begin(), expected.end()),
                     std::vector<std::uint8_t>(actual.begin(), actual.end()));
}
