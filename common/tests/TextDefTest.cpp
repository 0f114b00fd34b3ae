#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "CTextDef.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

std::string TempFile(const char* name)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return written == bytes.size();
}

void LoadFile(const std::string& bytes)
{
    const std::string path = TempFile("kavo-textdef-test.def");
    ASSERT_TRUE(WriteBytes(path, bytes));
    ASSERT_TRUE(CTextDef::LoadFromFile(path.c_str()));
    DeleteFileA(path.c_str());
}

void LoadResourceBytes(const std::string& bytes)
{
    CTextDef::RemoveAll();
    ASSERT_TRUE(CTextDef::ParseResource(reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size())));
}

void ExpectStore(const Entries& expected)
{
    EXPECT_EQ(CTextDef::GetCount(), expected.size());
    for (const auto& entry : expected) {
        ASSERT_TRUE(CTextDef::HasText(entry.first.c_str())) << entry.first;
        EXPECT_EQ(std::string(CTextDef::GetText(entry.first.c_str()).GetString()), entry.second) << entry.first;
    }
}

struct LineCase {
    const char* name;
    std::string input;
    Entries file;      // what the file loader stores
    Entries resource;  // what the built-in loader stores
};

const Entries kSame = {{"\x01", ""}};

class LineRules : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineRules, BothLoadersStoreWhatTheLinesSay)
{
    const LineCase& c = GetParam();
    LoadFile(c.input);
    ExpectStore(c.file);
    LoadResourceBytes(c.input);
    ExpectStore(c.resource == kSame ? c.file : c.resource);
}

std::string LongValue()
{
    std::string value;
    for (int i = 0; i < 300; ++i)
        value += char('a' + i % 26);
    return value;
}

INSTANTIATE_TEST_SUITE_P(Cases, LineRules, ::testing::Values(
    LineCase{"LaterLineWins", "A=1\r\nA=2\r\n", {{"A", "2"}}, kSame},
    LineCase{"OuterQuotesGo", "Q=\"v\"\r\nR=\"\r\nS=\"a\"b\"\r\n", {{"Q", "v"}, {"R", "\""}, {"S", "a\"b"}}, kSame},
    LineCase{"KeyKeepsItsBlank", "KEY = x\r\n", {{"KEY ", "x"}}, kSame},
    LineCase{"ContinuationLines", "K=\r\n\tline1\r\n\tline2\r\n", {{"K", "\r\nline1\r\nline2"}}, kSame},
    LineCase{"LineStartingWithEqualsStoresNothing", "=x\r\n\tmore\r\n", {}, kSame},
    LineCase{"BareWordIsAKey", "FOO\r\n[Section]\r\n", {{"FOO", ""}, {"[Section]", ""}}, kSame},
    LineCase{"SemicolonIsNoComment", ";COMMON_NAME_LOGFILE=kavo.log\r\n", {{";COMMON_NAME_LOGFILE", "kavo.log"}}, kSame},
    LineCase{"ContinuationAfterBlankLineIsDropped", "A=1\r\n\r\n\tlost\r\n", {{"A", "1"}}, kSame},
    LineCase{"NoFinalNewline", "A=1\r\nB=2", {{"A", "1"}, {"B", "2"}}, kSame},
    LineCase{"LineLongerThanOneBlock", "LONG=" + LongValue() + "\r\nNEXT=n\r\n", {{"LONG", LongValue()}, {"NEXT", "n"}}, kSame},
    LineCase{"TrailByte5CKeptExact", "P=\x95\x5cx\\\r\n\x83\x5c=\x83\x5c\r\n", {{"P", "\x95\x5cx\\"}, {"\x83\x5c", "\x83\x5c"}}, kSame},
    LineCase{"NulEndsTheLine", std::string("A=1\0junk\r\nB=2\r\n", 15), {{"A", "1"}, {"B", "2"}}, kSame},
    LineCase{"QuotedContinuation", "K=a\r\n\t\"q\"\r\n", {{"K", "a\r\nq"}}, {{"K", "a\r\n\"q\""}}},
    LineCase{"BlankContinuation", "K=a\r\n\t \r\n", {{"K", "a\r\n"}}, {{"K", "a"}}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(TextDefFile, EveryLineLengthAroundTheBlockSizeIsReadWhole)
{
    // Lines end at every offset of the 128-byte blocks, so each rewind is exercised.
    std::string input;
    Entries expected;
    for (int length = 1; length <= 300; ++length) {
        std::string key = "K" + std::to_string(length);
        std::string value(size_t(length), 'v');
        input += key + "=" + value + "\r\n";
        expected.emplace_back(key, value);
    }
    LoadFile(input);
    ExpectStore(expected);
}

TEST(TextDefFile, MissingFileLeavesTheStoreEmpty)
{
    CTextDef::SetText("X", "1");
    EXPECT_FALSE(CTextDef::LoadFromFile(TempFile("kavo-no-such-file.def").c_str()));
    EXPECT_EQ(CTextDef::GetCount(), 0u);
    CTextDef::SetText("X", "1");
    EXPECT_FALSE(CTextDef::LoadFromFile(nullptr));
    EXPECT_EQ(CTextDef::GetCount(), 0u);
}

TEST(TextDefResource, LoadsRcData3OfTheModule)
{
    ASSERT_TRUE(CTextDef::LoadFromResource(GetModuleHandleA(nullptr), 3));
    ExpectStore({{"FIRST", "one"}, {"HTML", "\r\n<p>a</p>\r\n\"q\""}, {";OFF", "x"}, {"LAST", "\x95\x5c"}});
    EXPECT_FALSE(CTextDef::HasText("OFF"));
}

TEST(TextDefResource, MissingIdOrResourceFails)
{
    EXPECT_FALSE(CTextDef::LoadFromResource(GetModuleHandleA(nullptr), 0));
    EXPECT_FALSE(CTextDef::LoadFromResource(GetModuleHandleA(nullptr), 77));
    EXPECT_EQ(CTextDef::GetCount(), 0u);
}

TEST(TextDefStore, GetTextOfAMissingKeyInsertsIt)
{
    CTextDef::RemoveAll();
    EXPECT_FALSE(CTextDef::HasText("ABSENT"));
    EXPECT_TRUE(CTextDef::GetText("ABSENT").IsEmpty());
    EXPECT_TRUE(CTextDef::HasText("ABSENT"));
    CTextDef::SetText("NULLTEXT", nullptr);
    EXPECT_TRUE(CTextDef::HasText("NULLTEXT"));
    EXPECT_TRUE(CTextDef::GetText("NULLTEXT").IsEmpty());
}

TEST(TextDefStore, WorkersInsertingMissingKeysDoNotCorruptTheStore)
{
    CTextDef::RemoveAll();
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([t] {
            for (int i = 0; i < 2000; ++i) {
                CString key;
                key.Format("T%d_%d", t, i);
                CTextDef::GetText(key);
                CTextDef::HasText("T0_0");
            }
        });
    }
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(CTextDef::GetCount(), 8000u);
    EXPECT_TRUE(CTextDef::HasText("T3_1999"));
}

TEST(TextDefStore, UrlTextReplacesEveryDomainMarker)
{
    CTextDef::SetText("U", "&CURL;/a?b=&CURL;");
    CTextDef::SetDomainUrl("http://127.0.0.1:8080");
    EXPECT_EQ(CTextDef::GetUrlText("U"), "http://127.0.0.1:8080/a?b=http://127.0.0.1:8080");
    CTextDef::SetDomainUrl("");
    EXPECT_EQ(CTextDef::GetUrlText("U"), "/a?b=");
    EXPECT_EQ(CTextDef::GetText("U"), "&CURL;/a?b=&CURL;");
}

struct RootCase {
    const char* path;
    HKEY root;
    const char* rest;
};

class RegistryRoot : public ::testing::TestWithParam<RootCase> {};

TEST_P(RegistryRoot, SplitsOnlyTheKnownPrefixes)
{
    CString path = GetParam().path;
    EXPECT_EQ(SplitRegistryRoot(path), GetParam().root);
    EXPECT_EQ(path, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(Cases, RegistryRoot, ::testing::Values(
    RootCase{"HKEY_LOCAL_MACHINE\\SOFTWARE\\K", HKEY_LOCAL_MACHINE, "SOFTWARE\\K"},
    RootCase{"HKEY_CURRENT_USER\\Software\\K", HKEY_CURRENT_USER, "Software\\K"},
    RootCase{"HKLM\\SOFTWARE", HKEY_LOCAL_MACHINE, "SOFTWARE"},
    RootCase{"HKCU\\Software", HKEY_CURRENT_USER, "Software"},
    RootCase{"hklm\\SOFTWARE", nullptr, "hklm\\SOFTWARE"},
    RootCase{"HKEY_LOCAL_MACHINE", nullptr, "HKEY_LOCAL_MACHINE"},
    RootCase{"", nullptr, ""}));

TEST(TextDefStore, RegistryTextsGiveRootAndPath)
{
    CTextDef::SetText("R", "HKEY_CURRENT_USER\\Software\\KRV-K\\XGFlow\\settings\\ProgramPath");
    EXPECT_EQ(CTextDef::GetRegRoot("R"), HKEY_CURRENT_USER);
    EXPECT_EQ(CTextDef::GetRegPath("R"), "Software\\KRV-K\\XGFlow\\settings\\ProgramPath");
    EXPECT_EQ(CTextDef::GetText("R"), "HKEY_CURRENT_USER\\Software\\KRV-K\\XGFlow\\settings\\ProgramPath");
}

}  // namespace
