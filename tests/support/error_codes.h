#pragma once
// Operating-system error codes that tests hand to the scripted device.

#include <cstdint>

std::uint32_t SectorErrorCode();         // one unreadable or unwritable sector
std::uint32_t WriteProtectedErrorCode();  // the whole medium refuses writes
std::uint32_t NoMediumErrorCode();        // no disk in the drive
