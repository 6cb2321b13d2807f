// The header's version macros say what the build says.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

TEST(Version, HeaderMatchesTheProject)
{
    EXPECT_EQ(QUARROW_VERSION_MAJOR, EXPECTED_MAJOR);
    EXPECT_EQ(QUARROW_VERSION_MINOR, EXPECTED_MINOR);
    EXPECT_EQ(QUARROW_VERSION_PATCH, EXPECTED_PATCH);
}
