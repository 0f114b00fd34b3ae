// Mutated product lists ("fwlist.dat") and exclusion lists of the firewall-product check.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "FirewallScan.h"
#include "FuzzRun.h"
#include "GuardedBytes.h"
#include "KavoTestPaths.h"

namespace {

// A CP932 lead byte takes the next byte with it, whatever it is; byte-wise checks below hold
// only for text without one.
bool IsAscii(const char* text)
{
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) >= 0x80)
            return false;
    return true;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

TEST(ProductListFuzz, ListFileAndExclusionLinesSurviveMutatedText)
{
    const std::vector<std::string> seeds = {
        ReadWholeFile(SourcePath("tests/fuzz/seeds/fwlist.dat")),
        "KeyName\tShown Name\r\nOnlyKey\r\n\tNoKey\r\n",
        "#\n#\n\n",
    };
    ASSERT_FALSE(seeds[0].empty());
    CFuzzRun run("productlist", seeds, 0xF1A7115Du, 3000);
    run.Run([](const std::string& input) {
        const CGuardedBytes text(input, true);
        CSimpleArray<CString> products;
        ParseProductList(text.Data(), products);
        for (int i = 0; i < products.GetSize(); ++i) {
            const CString& product = products[i];
            ASSERT_FALSE(product.IsEmpty());
            if (!IsAscii(product))
                continue;
            EXPECT_EQ(nullptr, std::strchr(product, '#'));
            EXPECT_EQ(nullptr, std::strchr(product, '\n'));
            EXPECT_FALSE(IsBlank(product[0]));
            EXPECT_FALSE(IsBlank(product[product.GetLength() - 1]));
        }

        // The exclusion list's lines put back together give the text again, but for a final
        // separator, which opens no line.
        CSimpleArray<CString> lines;
        SplitCrLfLines(CString(text.Data()), lines);
        ASSERT_GE(lines.GetSize(), 1);
        if (!IsAscii(text.Data()))
            return;
        std::string joined;
        for (int i = 0; i < lines.GetSize(); ++i) {
            EXPECT_EQ(nullptr, std::strstr(lines[i], "\r\n"));
            if (i)
                joined += "\r\n";
            joined += lines[i].GetString();
        }
        std::string expected(text.Data());
        if (expected.size() >= 2 && expected.compare(expected.size() - 2, 2, "\r\n") == 0)
            expected.resize(expected.size() - 2);
        EXPECT_EQ(joined, expected);
    });
}

}  // namespace
