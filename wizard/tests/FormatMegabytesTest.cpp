#include <gtest/gtest.h>

#include "FormatMegabytes.h"

namespace {

TEST(FormatMegabytes, PicksTheUnitAndTruncatesToOneDecimal)
{
    const struct {
        unsigned megabytes;
        const char* text;
    } cases[] = {
        {0, "0MB"},
        {1023, "1023MB"},
        {1024, "1.0GB"},
        {1536, "1.5GB"},
        {2047, "1.9GB"},
        {1048575, "1023.9GB"},
        {1048576, "1.0TB"},
        {1572864, "1.5TB"},
        {0xFFFFFFFFu, "4095.9TB"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(FormatMegabytes(c.megabytes), c.text) << c.megabytes;
}

}  // namespace
