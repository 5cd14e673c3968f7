#pragma once
// What the tests expect that each system says its own way: the error codes
// handed to the scripted device and left by the file calls, a device's name.

#include <cstdint>

std::uint32_t SectorErrorCode();         // one unreadable or unwritable sector
std::uint32_t WriteProtectedErrorCode();  // the whole medium refuses writes
std::uint32_t NoMediumErrorCode();        // no disk in the drive

std::uint32_t FileExistsErrorCode();
std::uint32_t FileNotFoundErrorCode();
std::uint32_t FileInUseErrorCode();  // another open's share mode (or lock) forbids this one
std::uint32_t FolderErrorCode();     // a folder opened as a file
std::uint32_t DeviceErrorCode();     // a device opened as a file
const char* DevicePath();            // a device that is no image file
