#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "CKAVOIniFileLoader.h"
#include "FakeContent.h"
#include "KavoTestPaths.h"

namespace {

struct Entry {
    std::string section;
    std::string key;
    std::string value;
    bool operator==(const Entry& other) const
    {
        return section == other.section && key == other.key && value == other.value;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& entry)
{
    return out << "[" << entry.section << "] {" << entry.key << "} = {" << entry.value << "}";
}

class RecordingLoader : public CKAVOIniFileLoader {
public:
    BOOL OnEntry(const char* section, const char* key, const char* value) override
    {
        entries.push_back(Entry{section, key, value});
        return stopAfter < 0 || int(entries.size()) < stopAfter;
    }

    std::vector<Entry> entries;
    int stopAfter = -1;
};

std::vector<Entry> ParseText(const std::string& text)
{
    RecordingLoader loader;
    CString input(text.c_str(), int(text.size()));
    EXPECT_TRUE(loader.Parse(input));
    EXPECT_TRUE(input.IsEmpty());
    return loader.entries;
}

std::string WithCrLf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

struct LineCase {
    const char* name;
    std::string text;
    std::vector<Entry> expected;
};

const LineCase kLineCases[] = {
    {"comment only in the first column", ";c=1\nA=1\n;\n ;B=2",
     {{"", "A", "1"}, {"", ";B", "2"}}},
    {"empty lines skipped", "\n\nA=1\n\n\nB=2\n", {{"", "A", "1"}, {"", "B", "2"}}},
    {"sections switch and stay", "A=1\n[Sec]\nB=2\nC=3\n[Other] \t\nD=4",
     {{"", "A", "1"}, {"Sec", "B", "2"}, {"Sec", "C", "3"}, {"Other", "D", "4"}}},
    {"section name kept untrimmed", "[ Sec ]\nA=1", {{" Sec ", "A", "1"}}},
    {"header with a leading blank is an entry", " [Sec]\nB=2", {{"", "[Sec]", ""}, {"", "B", "2"}}},
    {"open bracket without close is an entry", "[abc\nD=4\n[\n", {{"", "[abc", ""}, {"", "D", "4"}, {"", "[", ""}}},
    {"empty brackets name the empty section", "[S]\nA=1\n[]\nB=2", {{"S", "A", "1"}, {"", "B", "2"}}},
    {"double-byte trail byte is no closing bracket", "[\x83\x5d\nA=1", {{"", "[\x83\x5d", ""}, {"", "A", "1"}}},
    {"key and value trimmed, first equals splits", "  K  =  v = w  \n", {{"", "K", "v = w"}}},
    {"quotes", "K = \"v x\" \nQ='it'\nM='a\"\nOne=\"\nIn=\"a\"b\"\nE=\"\"\n",
     {{"", "K", "v x"}, {"", "Q", "it"}, {"", "M", "'a\""}, {"", "One", "\""}, {"", "In", "a\"b"}, {"", "E", ""}}},
    {"line without equals is a key", "KEY\n", {{"", "KEY", ""}}},
    {"continuation appends to the value", "A=1\n\t'word'\n  \"two\"\n\t\nB=2",
     {{"", "A", "1\r\nword\r\ntwo\r\n"}, {"", "B", "2"}}},
    {"continuation of a line without equals extends the key", "KEY\n\tmore\nB=2",
     {{"", "KEY\r\nmore", ""}, {"", "B", "2"}}},
    {"continuation keeps indented brackets and semicolons", "A=\n [S]\n ;c\n",
     {{"", "A", "\r\n[S]\r\n;c"}}},
    {"header is not continued", "[S]\n\tA=1", {{"S", "A", "1"}}},
    {"empty text", "", {}},
};

TEST(IniFileLoaderLineRules, EachCaseGivesItsEntries)
{
    for (const LineCase& c : kLineCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseText(c.text), c.expected);
    }
}

TEST(IniFileLoaderLineRules, CrLfAndLfLineEndsGiveTheSameEntries)
{
    for (const LineCase& c : kLineCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseText(WithCrLf(c.text)), c.expected);
    }
}

TEST(IniFileLoaderLineRules, StopFromOnEntryEndsParsingAtOnce)
{
    RecordingLoader loader;
    loader.stopAfter = 2;
    CString text("A=1\nB=2\nC=3\n");
    EXPECT_FALSE(loader.Parse(text));
    EXPECT_EQ(loader.entries.size(), 2u);
    EXPECT_STREQ(text, "C=3\n");
}

class IniFileLoaderFile : public ::testing::Test {
protected:
    void TearDown() override { DeleteFileA(m_path.c_str()); }

    const char* Write(const std::string& bytes)
    {
        HANDLE file = CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        if (!bytes.empty())
            WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        CloseHandle(file);
        EXPECT_EQ(written, bytes.size());
        return m_path.c_str();
    }

    // A file of exactly size bytes whose last line is "Z=last".
    static std::string FileOfSize(size_t size)
    {
        const std::string last = "Z=last";
        std::string bytes;
        bytes.reserve(size);
        const std::string comment = ";" + std::string(1022, 'x') + "\n";
        while (bytes.size() + comment.size() + last.size() <= size)
            bytes += comment;
        bytes += ";" + std::string(size - bytes.size() - last.size() - 2, 'y') + "\n";
        bytes += last;
        return bytes;
    }

    std::string m_path = TempFolder() + "\\kavo-core-ini-" + std::to_string(GetCurrentProcessId()) + ".ini";
};

TEST_F(IniFileLoaderFile, FileOfTheLimitIsReadAndOneByteMoreIsRefused)
{
    const std::string limit = FileOfSize(CKAVOIniFileLoader::kMaxFileSize);
    ASSERT_EQ(limit.size(), 4194304u);
    RecordingLoader loader;
    EXPECT_TRUE(loader.LoadFile(Write(limit)));
    ASSERT_EQ(loader.entries.size(), 1u);
    EXPECT_EQ(loader.entries[0], (Entry{"", "Z", "last"}));

    RecordingLoader refused;
    EXPECT_FALSE(refused.LoadFile(Write(FileOfSize(CKAVOIniFileLoader::kMaxFileSize + 1))));
    EXPECT_TRUE(refused.entries.empty());
}

TEST_F(IniFileLoaderFile, EmptyMissingAndNullFilesAreRefused)
{
    RecordingLoader loader;
    EXPECT_FALSE(loader.LoadFile(Write("")));
    DeleteFileA(m_path.c_str());
    EXPECT_FALSE(loader.LoadFile(m_path.c_str()));
    EXPECT_FALSE(loader.LoadFile(nullptr));
    EXPECT_FALSE(loader.Load(nullptr));
    EXPECT_TRUE(loader.entries.empty());
}

TEST_F(IniFileLoaderFile, TextEndsAtTheFirstNulByte)
{
    RecordingLoader loader;
    EXPECT_TRUE(loader.LoadFile(Write(std::string("A=1\nB=2\0C=3\n", 12))));
    EXPECT_EQ(loader.entries, (std::vector<Entry>{{"", "A", "1"}, {"", "B", "2"}}));
}

TEST_F(IniFileLoaderFile, LoadSendsHttpSourcesToTheServerAndOthersToFiles)
{
    FakeContent server;
    server.Serve("HTTP://127.0.0.1/a.ini", "A=1\n");
    server.Serve("hTTps://127.0.0.1/b.ini", "B=2\n");
    RecordingLoader loader;
    EXPECT_TRUE(loader.Load("HTTP://127.0.0.1/a.ini"));
    EXPECT_TRUE(loader.Load("hTTps://127.0.0.1/b.ini"));
    EXPECT_FALSE(loader.Load("http://127.0.0.1/missing.ini"));
    EXPECT_TRUE(loader.Load(Write("C=3\n")));
    EXPECT_EQ(server.Requests().size(), 3u);
    EXPECT_EQ(loader.entries, (std::vector<Entry>{{"", "A", "1"}, {"", "B", "2"}, {"", "C", "3"}}));
}

}  // namespace
