#pragma once

#include <string>

// Now, in UTC, as ISO 8601 to the whole second: 2026-12-09T06:45:12Z.
std::string UtcTimestamp();
