#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

// An owned block of bytes from the C heap. A buffer that cannot be had comes
// back empty, so that callers refuse the work instead of crashing.
struct FreeDeleter {
    void operator()(std::uint8_t* bytes) const { std::free(bytes); }
};
using ByteBuffer = std::unique_ptr<std::uint8_t[], FreeDeleter>;

// `size` bytes of arbitrary content (at least one byte is reserved, so an
// empty buffer is still a valid pointer); null when memory is short.
inline ByteBuffer AllocateBytes(std::size_t size)
{
    return ByteBuffer(static_cast<std::uint8_t*>(std::malloc(size == 0 ? 1 : size)));
}

// The same, filled with zero bytes.
inline ByteBuffer AllocateZeroedBytes(std::size_t size)
{
    return ByteBuffer(static_cast<std::uint8_t*>(std::calloc(size == 0 ? 1 : size, 1)));
}
