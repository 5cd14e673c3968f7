#pragma once
// The calling thread's last error code, kept as Windows keeps its last error
// (Linux: errno), and the operating system's text for it.

#include <cstdint>
#include <string>

namespace platform {

std::uint32_t GetLastErrorCode();
void SetLastErrorCode(std::uint32_t code);

// The system's message for `code`, as the system gives it (line breaks and
// all). Returns false when the system has no text for that code.
bool GetSystemErrorText(std::uint32_t code, std::string& text);

// True when `code` says the whole medium is unusable (write-protected, no
// medium, drive gone, volume in use), so that retrying other sectors is futile.
bool IsWholeMediumError(std::uint32_t code);

// True when `code` says the system refused the caller access (permissions).
bool IsAccessDenied(std::uint32_t code);

// True when `code` says the reader of a pipe has gone away.
bool IsBrokenPipe(std::uint32_t code);

// Keeps the last error code across a block that may disturb it (printing).
class LastErrorGuard {
public:
    LastErrorGuard() : m_code(GetLastErrorCode()) {}
    ~LastErrorGuard() { SetLastErrorCode(m_code); }
    LastErrorGuard(const LastErrorGuard&) = delete;
    LastErrorGuard& operator=(const LastErrorGuard&) = delete;

private:
    std::uint32_t m_code;
};

}  // namespace platform
