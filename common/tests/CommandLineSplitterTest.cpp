#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandLineSplitter.h"

namespace {

std::vector<std::string> Args(const CommandLineSplitter& splitter)
{
    std::vector<std::string> args;
    for (int i = 0; i < splitter.GetCount(); ++i)
        args.push_back(splitter.GetArgv()[i]);
    return args;
}

struct SplitCase {
    const char* text;
    std::vector<std::string> args;
};

TEST(CommandLineSplitter, SplitsByTheQuotingRules)
{
    const SplitCase cases[] = {
        {"setup \"two words\" /q", {"setup", "two words", "/q"}},
        {"a \"b\"\"c\" d", {"a", "b\"c", "d"}},
        {"a \"\" b", {"a", "", "b"}},
        {" a", {"", "a"}},
        {"a b   ", {"a", "b"}},
        {"a\tb", {"a\tb"}},
        {"a    b", {"a", "b"}},
        {"", {}},
    };
    for (const SplitCase& c : cases) {
        CommandLineSplitter splitter;
        const int count = splitter.Split(c.text);
        EXPECT_EQ(count, int(c.args.size())) << "[" << c.text << "]";
        EXPECT_EQ(Args(splitter), c.args) << "[" << c.text << "]";
    }
}

TEST(CommandLineSplitter, NullTextGivesNoArguments)
{
    CommandLineSplitter splitter;
    EXPECT_EQ(splitter.Split(nullptr), 0);
    EXPECT_EQ(splitter.GetCount(), 0);
    EXPECT_EQ(splitter.GetArg(0), nullptr);
}

TEST(CommandLineSplitter, SplittingAgainReplacesThePreviousResult)
{
    CommandLineSplitter splitter;
    ASSERT_EQ(splitter.Split("one two three"), 3);
    ASSERT_EQ(splitter.Split("\"only one\""), 1);
    EXPECT_STREQ(splitter.GetArg(0), "only one");
    EXPECT_EQ(splitter.GetArg(1), nullptr);

    EXPECT_EQ(splitter.Split(nullptr), 0);
    EXPECT_EQ(splitter.GetArg(0), nullptr);
}

}  // namespace
