#pragma once

#include <cstdint>
#include <string>

// Why a zlib stream that the image reader refused does not expand to a disk
// of `rawSize` bytes, in a few words for the user.
std::string DiagnoseCompressedData(const std::uint8_t* data, std::uint32_t size, std::uint32_t rawSize);
