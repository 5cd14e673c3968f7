#include "platform/platform_info.h"

#include <gtest/gtest.h>

namespace {

// Wine, like every Windows these tests run on, reports the NT family.
TEST(PlatformInfoTest, TheNtFamilyIsNotWindows9x)
{
    EXPECT_FALSE(platform::IsWindows9x());
}

}  // namespace
