#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

// Collects everything written to standard output while it lives.
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Ends the capture and returns what was written.
    std::string Text();

private:
    bool m_bActive = true;
};

// What an operation returned, and what it printed meanwhile.
template <typename Result>
struct Printed {
    Result result;
    std::string console;
};

template <typename Operation>
auto RunPrinting(Operation operation) -> Printed<decltype(operation())>
{
    ConsoleCapture capture;
    auto result = operation();
    return {std::move(result), capture.Text()};
}

// Byte-for-byte comparison that shows both sides around the first difference.
::testing::AssertionResult SameBytes(const std::vector<std::uint8_t>& expected,
                                     const std::vector<std::uint8_t>& actual);
::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual);
