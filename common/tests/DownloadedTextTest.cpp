// The downloaded definition dialect and its loader from a URL.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CTextDef.h"
#include "FakeServer.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

void ExpectStore(const Entries& expected)
{
    EXPECT_EQ(CTextDef::GetCount(), expected.size());
    for (const auto& entry : expected) {
        ASSERT_TRUE(CTextDef::HasText(entry.first.c_str())) << "[" << entry.first << "]";
        EXPECT_EQ(std::string(CTextDef::GetText(entry.first.c_str()).GetString()), entry.second) << entry.first;
    }
}

std::string WithLfOnly(std::string text)
{
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

struct TextCase {
    const char* name;
    std::string input;  // written with CR LF; each case also runs with LF alone
    Entries stored;
};

class DownloadedTextRules : public ::testing::TestWithParam<TextCase> {};

TEST_P(DownloadedTextRules, StoreHoldsWhatTheLinesSay)
{
    const TextCase& c = GetParam();
    for (const std::string& input : {c.input, WithLfOnly(c.input)}) {
        SCOPED_TRACE(input.find('\r') == std::string::npos ? "LF" : "CR LF");
        CTextDef::RemoveAll();
        EXPECT_TRUE(CTextDef::ParseDownloadedText(input.c_str()));
        ExpectStore(c.stored);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DownloadedTextRules, ::testing::Values(
    TextCase{"OnlyLeadingAndDomainSwitchSectionsAreKept",
             "A=1\r\n[Other]\r\nB=2\r\n[DomainSwitch]\r\nC=3\r\n[domainswitch]\r\nD=4\r\n", {{"A", "1"}, {"C", "3"}}},
    TextCase{"SemicolonLinesAreComments", ";A=1\r\nB=2\r\n; C=3\r\n", {{"B", "2"}}},
    TextCase{"EmptyLinesAreSkipped", "\r\nA=1\r\n\r\n\r\nB=2\r\n", {{"A", "1"}, {"B", "2"}}},
    TextCase{"KeysAndValuesAreTrimmed", "  KEY \t=  x y  \r\n", {{"KEY", "x y"}}},
    TextCase{"EitherQuotePairGoes", "S='v'\r\nD=\"w\"\r\nM='v\"\r\nQ=\"\r\nI=\"a\"b\"\r\n",
             {{"S", "v"}, {"D", "w"}, {"M", "'v\""}, {"Q", "\""}, {"I", "a\"b"}}},
    TextCase{"ContinuationLinesAreTrimmedAndUnquoted", "K=a\r\n\t'b'\r\n   \"c\"  \r\nN=n\r\n",
             {{"K", "a\r\nb\r\nc"}, {"N", "n"}}},
    TextCase{"BareWordIsAKeyWithAnEmptyValue", "FOO\r\n", {{"FOO", ""}}},
    TextCase{"LaterEntryWins", "A=1\r\nA=2\r\n", {{"A", "2"}}},
    TextCase{"HeaderWithTrailingBlanksIsAHeader", "[Other]  \t\r\nB=2\r\n", {}},
    TextCase{"IndentedBracketAfterAnEntryContinuesIt", "A=1\r\n [Other]\r\nB=2\r\n", {{"A", "1\r\n[Other]"}, {"B", "2"}}},
    TextCase{"IndentedBracketAloneIsAnEntry", " [Other]\r\nB=2\r\n", {{"[Other]", ""}, {"B", "2"}}},
    TextCase{"BracketWithoutCloseIsAnEntry", "[Other\r\nB=2\r\n", {{"[Other", ""}, {"B", "2"}}},
    TextCase{"TrailByteOfTheCodeOfABracketClosesNoHeader", "[Other\x81\x5D\r\nB=2\r\n",
             {{"[Other\x81\x5D", ""}, {"B", "2"}}},
    TextCase{"EntriesInADroppedSectionTakeTheirContinuations", "[Other]\r\nB=2\r\n\tmore\r\n[DomainSwitch]\r\nC=3\r\n",
             {{"C", "3"}}},
    TextCase{"DoubleByteValueAndNoFinalNewline", "Name=\x95\x5c\x8e\xa6\r\nLast=\x83\x5c", {{"Name", "\x95\x5c\x8e\xa6"}, {"Last", "\x83\x5c"}}},
    TextCase{"EmptyBodyAddsNothing", "", {}}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(DownloadedText, EntriesAreAddedToWhatTheStoreHolds)
{
    CTextDef::RemoveAll();
    CTextDef::SetText("KEEP", "k");
    CTextDef::SetText("A", "old");
    EXPECT_TRUE(CTextDef::ParseDownloadedText("A=new\r\n"));
    ExpectStore({{"KEEP", "k"}, {"A", "new"}});
}

TEST(DownloadedText, LocalStoreLeavesTheModuleStoreAlone)
{
    CTextDef::RemoveAll();
    CAtlMap<CString, CString> local;
    EXPECT_TRUE(CTextDef::ParseDownloadedText("Domain=http://a\r\n", &local));
    EXPECT_EQ(CTextDef::GetCount(), 0u);
    CString value;
    ASSERT_TRUE(local.Lookup(CString("Domain"), value));
    EXPECT_STREQ(value, "http://a");
}

TEST(DownloadedText, CutFirstLineTakesOneLineAndOneCarriageReturn)
{
    const struct {
        const char* text;
        const char* line;
        const char* rest;
    } cases[] = {
        {"a\r\nb", "a", "b"},
        {"a\nb\n", "a", "b\n"},
        {"a\r\r\nb", "a\r", "b"},
        {"no newline", "no newline", ""},
        {"\nx", "", "x"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        CString text(c.text);
        EXPECT_STREQ(CutFirstLine(text), c.line) << c.text;
        EXPECT_STREQ(text, c.rest) << c.text;
    }
}

TEST(DownloadedText, SectionHeaderNeedsBracketsAtBothEnds)
{
    const struct {
        const char* line;
        bool header;
        const char* section;
    } cases[] = {
        {"[DomainSwitch]", true, "DomainSwitch"},
        {"[ Spaced ]  \r", true, " Spaced "},
        {"[A]\nrest", true, "A"},
        {" [A]", false, ""},
        {"[A", false, ""},
        {"[", false, ""},
        {"A]", false, ""},
        // 0x81 0x5D is one double-byte character whose trail byte is the code of "]".
        {"[Other\x81\x5D", false, ""},
        {"[\x81\x5D", false, ""},
        {"[\x81\x5D]", true, "\x81\x5D"},
        {"[\x95\x5C]", true, "\x95\x5C"},
    };
    for (const auto& c : cases) {
        CString section("unchanged");
        EXPECT_EQ(ParseSectionHeader(c.line, section), c.header) << c.line;
        EXPECT_STREQ(section, c.header ? c.section : "unchanged") << c.line;
    }
}

TEST(DownloadedText, StripQuotesRemovesOneMatchingPair)
{
    const struct {
        const char* text;
        const char* stripped;
    } cases[] = {
        {"  'a'  ", "a"}, {"\"a\"", "a"}, {"\"\"a\"\"", "\"a\""}, {"'a\"", "'a\""}, {"'", "'"}, {"''", ""}, {" x ", "x"},
    };
    for (const auto& c : cases) {
        CString text(c.text);
        StripQuotes(text);
        EXPECT_STREQ(text, c.stripped) << c.text;
    }
}

// --- from the fake content server -----------------------------------------------------

class DownloadedTextFromUrl : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = FakeServer::Shared();
        ASSERT_NE(server, nullptr) << "the fake content server did not start";
        ASSERT_TRUE(server->Reset());
        CTextDef::RemoveAll();
        CTextDef::SetText("KEEP", "k");
        CTextDef::SetText("Domain", "before");
    }
    FakeServer* server = nullptr;
};

TEST_F(DownloadedTextFromUrl, DomainJudgementAddsItsEntriesToTheStore)
{
    // The fixture names the server itself through "@BASE@".
    ASSERT_TRUE(CTextDef::LoadFromUrl(server->Url("/http/domain_judge.html").c_str()));
    ExpectStore({{"KEEP", "k"}, {"Domain", server->BaseUrl() + "/alt"}, {"Note", "\x93\xfa\x96\x7b"}});
    EXPECT_EQ(server->Hits("/http/domain_judge.html"), 1);
}

TEST_F(DownloadedTextFromUrl, QueryIsNotSent)
{
    ASSERT_TRUE(server->Route("/judge", "Domain=x\r\n"));
    ASSERT_TRUE(CTextDef::LoadFromUrl(server->Url("/judge?v=1").c_str()));
    EXPECT_EQ(server->Last("/judge", "query"), "");
}

TEST_F(DownloadedTextFromUrl, FailureLeavesTheStoreUntouched)
{
    const char* faults[] = {"404", "500", "close", "short"};
    ASSERT_TRUE(server->Route("/judge", "Domain=changed\r\nNEW=1\r\n"));
    for (const char* fault : faults) {
        ASSERT_TRUE(server->Fail("/judge", fault, 0));
        EXPECT_FALSE(CTextDef::LoadFromUrl(server->Url("/judge").c_str())) << fault;
        ExpectStore({{"KEEP", "k"}, {"Domain", "before"}});
        ASSERT_TRUE(server->Reset());
        ASSERT_TRUE(server->Route("/judge", "Domain=changed\r\nNEW=1\r\n"));
    }
    const std::string refused = "http://127.0.0.1:" + std::to_string(server->ClosedPort()) + "/judge";
    EXPECT_FALSE(CTextDef::LoadFromUrl(refused.c_str()));
    EXPECT_FALSE(CTextDef::LoadFromUrl("not a url://"));
    EXPECT_FALSE(CTextDef::LoadFromUrl(nullptr));
    ExpectStore({{"KEEP", "k"}, {"Domain", "before"}});
}

// Answers are bounded as definition files are: 4 MiB is read, one byte more adds nothing.
TEST_F(DownloadedTextFromUrl, AnswerLongerThanTheLimitAddsNothing)
{
    for (size_t size : {size_t(0x400000), size_t(0x400001)}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(server->RoutePadded("/judge", "NEW=1\r\n;", size, 'x'));
        EXPECT_EQ(CTextDef::LoadFromUrl(server->Url("/judge").c_str()), size == 0x400000);
        EXPECT_EQ(CTextDef::HasText("NEW"), size == 0x400000);
        CTextDef::RemoveAll();
    }
}

TEST_F(DownloadedTextFromUrl, LocalStoreGetsTheAnswer)
{
    ASSERT_TRUE(server->Route("/judge", "[DomainSwitch]\r\nDomain=http://alt\r\n"));
    CAtlMap<CString, CString> local;
    ASSERT_TRUE(CTextDef::LoadFromUrl(server->Url("/judge").c_str(), &local));
    ExpectStore({{"KEEP", "k"}, {"Domain", "before"}});
    CString value;
    ASSERT_TRUE(local.Lookup(CString("Domain"), value));
    EXPECT_STREQ(value, "http://alt");
}

}  // namespace
