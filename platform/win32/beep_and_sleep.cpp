#include "platform/console.h"
#include "platform/win32/win32_api.h"

namespace platform {

void Beep(unsigned frequencyHz, unsigned durationMs)
{
    ::Beep(frequencyHz, durationMs);
}

void SleepMs(unsigned milliseconds)
{
    ::Sleep(milliseconds);
}

}  // namespace platform
