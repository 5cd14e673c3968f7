#pragma once
// What a benchmark disk holds: about half of its sectors text that deflate
// shrinks as it shrinks documents, the other half random bytes it cannot
// shrink at all (archives, compressed programs). The same bytes every run.

#include <cstdint>
#include <vector>

void FillHalfCompressible(std::vector<std::uint8_t>& medium, std::uint32_t bytesPerSector);
