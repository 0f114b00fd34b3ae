#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "BoundedText.h"
#include "FakeTools.h"
#include "HostsFileProbe.h"
#include "KavoTestPaths.h"
#include "ProbeSettings.h"

namespace {

const std::string kHost = kV6TestSiteHost;

TEST(HostsLine, HostCountsUnlessACommentMarkStandsBeforeIt)
{
    const struct {
        std::string line;
        bool maps;
    } cases[] = {
        {"2001:db8::80 " + kHost, true},
        {"2001:db8::80\t" + kHost + " # the test site", true},
        {"#2001:db8::80 " + kHost, false},
        {"# " + kHost, false},
        {"2001:db8::80 other.example # " + kHost, false},
        {"2001:db8::80 other.example", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HostsLineMapsHost(c.line.c_str(), kV6TestSiteHost), c.maps) << c.line;
}

class HostsFile : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeTestFolder("hosts"); }
    void TearDown() override { RemoveTestFolder(folder); }

    bool ProbeFile(const std::string& bytes)
    {
        const std::string path = folder + "\\hosts";
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        PevlinState state;
        CopyBounded(state.hostsFilePath, path.c_str());
        return HostsHasV6TestSite(state);
    }

    std::string folder;
};

TEST_F(HostsFile, FileIsReadLineByLine)
{
    EXPECT_TRUE(ProbeFile("127.0.0.1 localhost\r\n# " + kHost + "\r\n2001:db8::80 " + kHost + "\r\n"));
    EXPECT_TRUE(ProbeFile("127.0.0.1 localhost\n2001:db8::80 " + kHost));  // last line without line end
    EXPECT_FALSE(ProbeFile("127.0.0.1 localhost\r\n# 2001:db8::80 " + kHost + "\r\n"));
    EXPECT_FALSE(ProbeFile(""));
}

TEST_F(HostsFile, LinesAreCutAt259Bytes)
{
    const std::string padding(238, ' ');
    EXPECT_TRUE(ProbeFile(std::string(200, ' ') + kHost + "\r\n"));
    // The name begins at byte 251 and reaches past the cut.
    EXPECT_FALSE(ProbeFile("2001:db8::80" + padding + kHost + "\r\n"));
}

TEST_F(HostsFile, NoPathOrNoFileMeansNotMapped)
{
    PevlinState state;
    EXPECT_FALSE(HostsHasV6TestSite(state));
    CopyBounded(state.hostsFilePath, (folder + "\\missing").c_str());
    EXPECT_FALSE(HostsHasV6TestSite(state));
}

}  // namespace
