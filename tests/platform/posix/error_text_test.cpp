// Built against the XSI strerror_r (see tests.cmake), as on C libraries that
// have no GNU one: the text must still be the system's whole text.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/last_error.h"

namespace {

TEST(SystemErrorText, IsTheSystemsWholeText)
{
    std::string text;
    ASSERT_TRUE(platform::GetSystemErrorText(EACCES, text));
    EXPECT_EQ(text, "Permission denied");
}

}  // namespace
