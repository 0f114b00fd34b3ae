// Mutated definition files, downloaded texts and order-system answers: every parser of
// outside data must come back from each of them without a crash, a hang or a write outside
// its buffers. Each run is seeded from the fixtures and repeatable (FuzzRun.h).
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <climits>
#include <string>
#include <vector>

#include "CAtlMap.h"
#include "CExtDef.h"
#include "CFeeCalc.h"
#include "CMotdFetcher.h"
#include "COpsRequest.h"
#include "CScopedComInit.h"
#include "CPageContext.h"
#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "CanaryStringMgr.h"
#include "ExternalDefinitions.h"
#include "FakeServer.h"
#include "FuzzRun.h"
#include "GuardedBytes.h"
#include "KavoTestPaths.h"
#include "PrintScript.h"
#include "UrlText.h"

namespace {

std::string Seed(const char* relative)
{
    const std::string bytes = ReadWholeFile(SourcePath(relative));
    EXPECT_FALSE(bytes.empty()) << relative;
    return bytes;
}

// The built-in text is too large to mutate whole many times: it is cut at line ends into
// pieces of about maxSize bytes, each a seed of its own.
void AddPieces(std::vector<std::string>& seeds, const std::string& bytes, size_t maxSize)
{
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start + maxSize);
        end = end == std::string::npos ? bytes.size() : end + 1;
        seeds.push_back(bytes.substr(start, end - start));
        start = end;
    }
}

std::vector<std::string> DefinitionSeeds()
{
    std::vector<std::string> seeds = {
        Seed("common/tests/fixtures/sample.def"),
        Seed("tests/server/fixtures/http/domain_judge.html"),
        Seed("tests/fuzz/seeds/extdef.ini"),
        Seed("tests/fuzz/seeds/osdef.ini"),
    };
    AddPieces(seeds, Seed("resources/text.def"), 600);
    return seeds;
}

std::vector<std::string> NoticeSeeds()
{
    return {Seed("tests/fuzz/seeds/notice.txt"), Seed("tests/fuzz/seeds/fee_table.txt")};
}

std::vector<std::string> FeeTableSeeds()
{
    // The table twice: most splices then carry rows.
    return {Seed("tests/fuzz/seeds/fee_table.txt"), Seed("tests/fuzz/seeds/fee_table.txt"),
            Seed("tests/fuzz/seeds/notice.txt")};
}

std::vector<std::string> AnswerSeeds()
{
    return {Seed("tests/fuzz/seeds/answer_sjis.xml"), Seed("tests/fuzz/seeds/answer_utf8.xml"),
            Seed("tests/fuzz/seeds/answer_plain.xml")};
}

// The input as a string whose terminator is the last byte before a no-access page.
CString GuardedText(const std::string& input)
{
    CString text(input.c_str());
    PlaceAtGuardPage(text);
    return text;
}

std::string TempPath(const char* name)
{
    return TempFolder() + "\\kavo-fuzz-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

class ParserFuzz : public ::testing::Test {
protected:
    void TearDown() override
    {
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl("");
        GetExtDef().Clear();
        GetSystemRequirements().RemoveAll();
    }
};

TEST_F(ParserFuzz, BuiltInTextDefinitionSurvivesMutatedBytes)
{
    // The resource has no final NUL: the parser is bounded by the size alone.
    CFuzzRun run("textdef-resource", DefinitionSeeds(), 0x7E47DEF1, 2000);
    run.Run([](const std::string& input) {
        const CGuardedBytes bytes(input, false);
        CTextDef::ParseResource(reinterpret_cast<const BYTE*>(bytes.Data()), bytes.Size());
        CTextDef::RemoveAll();
    });
}

TEST_F(ParserFuzz, TextDefinitionFileSurvivesMutatedFiles)
{
    const std::string path = TempPath("text.def");
    CFuzzRun run("textdef-file", DefinitionSeeds(), 0x7E47F11E, 400);
    run.Run([&path](const std::string& input) {
        ASSERT_TRUE(WriteWholeFile(path, input));
        CTextDef::LoadFromFile(path.c_str());
        CTextDef::RemoveAll();
    });
    DeleteFileA(path.c_str());
}

TEST_F(ParserFuzz, SectionedDefinitionSurvivesMutatedText)
{
    CFuzzRun run("sectioned", DefinitionSeeds(), 0x5EC710ED, 2000);
    run.Run([](const std::string& input) {
        const CGuardedBytes text(input, true);
        CAtlMap<CString, CString> local;
        CTextDef::ParseDownloadedText(text.Data(), &local);

        // The line helpers on their own, each line at a guard page.
        CString rest = GuardedText(input);
        for (int lines = 0; !rest.IsEmpty() && lines < 8; ++lines) {
            CString line = CutFirstLine(rest);
            PlaceAtGuardPage(line);
            CString section;
            ParseSectionHeader(line, section);
            StripQuotes(line);
        }
    });
}

TEST_F(ParserFuzz, IniDefinitionsSurviveMutatedText)
{
    CFuzzRun run("ini", DefinitionSeeds(), 0x1A1DEF5, 3000);
    run.Run([](const std::string& input) {
        CExtDef& store = GetExtDef();
        CString text = GuardedText(input);
        store.Parse(text);
        // The loaded values are read further when they are applied.
        ApplyExternalDefinitions();
        store.Clear();
        CTextDef::RemoveAll();
    });
}

TEST_F(ParserFuzz, IniDefinitionFileSurvivesMutatedFiles)
{
    const std::string path = TempPath("extdef.ini");
    CFuzzRun run("ini-file", DefinitionSeeds(), 0x1A1F11E, 400);
    run.Run([&path](const std::string& input) {
        ASSERT_TRUE(WriteWholeFile(path, input));
        CExtDef& store = GetExtDef();
        store.LoadFile(path.c_str());
        store.Clear();
    });
    DeleteFileA(path.c_str());
}

TEST_F(ParserFuzz, OsDefinitionSurvivesMutatedText)
{
    std::vector<std::string> seeds = DefinitionSeeds();
    // The OS definition first, so most splices carry its sections.
    seeds.insert(seeds.begin(), 3, Seed("tests/fuzz/seeds/osdef.ini"));
    CFuzzRun run("osdef", seeds, 0x05DEF000, 3000);
    run.Run([](const std::string& input) {
        CSystemRequirements store;
        CString text = GuardedText(input);
        store.Parse(text);
    });
}

TEST_F(ParserFuzz, OrderSystemAnswerSurvivesMutatedXml)
{
    CScopedCoInit com;
    CPageContext ctx;
    CFuzzRun run("answer", AnswerSeeds(), 0x0A115E75, 400);
    run.Run([&ctx](const std::string& input) {
        ctx.response = COpsResponse();
        ctx.response.rawText = input.c_str();
        PlaceAtGuardPage(ctx.response.rawText);
        COpsRequest request;
        request.SetContext(&ctx);
        request.ParseResponse();
    });
}

TEST_F(ParserFuzz, DownloadedTextSurvivesMutatedBodies)
{
    // Each body is a file of a folder the local server serves, so one GET per input goes
    // through the real road (WinINet, the body stream, the text up to its first NUL).
    FakeServer* server = FakeServer::Shared();
    ASSERT_NE(server, nullptr);
    const std::string folder = TempPath("bodies");
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(server->AddFixtures(FakeServer::UnixPath(folder)));
    // Not a text extension: the server sends the bytes as they are.
    const std::string name = "fuzz-body-" + std::to_string(GetCurrentProcessId()) + ".bin";
    const std::string url = server->Url("/" + name);
    CFuzzRun run("downloaded", DefinitionSeeds(), 0xD0311AD, 60);
    run.Run([&](const std::string& input) {
        ASSERT_TRUE(WriteWholeFile(folder + "\\" + name, input));
        CAtlMap<CString, CString> local;
        EXPECT_TRUE(CTextDef::LoadFromUrl(url.c_str(), &local));
    });
    DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(ParserFuzz, NoticeSurvivesMutatedText)
{
    CFuzzRun run("notice", NoticeSeeds(), 0x0B0711CE, 3000);
    run.Run([](const std::string& input) {
        const CGuardedBytes text(input, true);
        CMotdFetcher fetcher;
        fetcher.Parse(text.Data());
        fetcher.GetOpsStatus();
        fetcher.GetBody();
    });
}

// The one input of the fee table run, served as the download's body.
const std::string* g_feeTableBody = nullptr;

bool ServeFeeTableBody(const char*, CString& body)
{
    body = g_feeTableBody->c_str();
    PlaceAtGuardPage(body);
    return true;
}

TEST_F(ParserFuzz, FeeTableSurvivesMutatedTextAndItsLookupsAnyCount)
{
    const UrlTextFetcher former = SetUrlTextFetcher(ServeFeeTableBody);
    CFuzzRun run("feetable", FeeTableSeeds(), 0xFEE7AB1E, 2000);
    run.Run([](const std::string& input) {
        const CGuardedBytes text(input, true);
        CFeeCalc parsed;
        if (parsed.Parse(text.Data()) != FEECALC_READY)
            return;

        // Only a loaded table answers its lookups: the whole load, with the input as its body
        // (a thread each, so only for the tables that parse).
        g_feeTableBody = &input;
        CFeeCalc table;
        table.StartLoad("http://127.0.0.1/fee.txt", FALSE);
        for (int count : {INT_MIN, -1, 0, 1, 2, 3, 10, 101, 1000000, INT_MAX}) {
            table.GetUnitFee(count);
            table.GetTotalFee(count);
        }
    });
    SetUrlTextFetcher(former);
    g_feeTableBody = nullptr;
}

TEST_F(ParserFuzz, PrintScriptSurvivesMutatedScriptsOnAMetafile)
{
    // The built-in script twice, so most splices carry its commands.
    const std::vector<std::string> seeds = {Seed("tests/fuzz/seeds/print_script.txt"),
                                            Seed("tests/fuzz/seeds/print_script.txt"),
                                            Seed("tests/fuzz/seeds/notice.txt")};
    CFuzzRun run("printscript", seeds, 0x9C1F7A5E, 500);
    run.Run([](const std::string& input) {
        CTextDef::SetText("ORDER_ACKNOWLEDGMENT_PRINT_SCRIPT", GuardedText(input));
        PrintScriptState state;
        state.script = BuildOrderAcknowledgmentScript("C1", "%{AccessKey}", "\"a\" \\n", "", "", "S1\\nS2", "");
        PlaceAtGuardPage(state.script);
        const HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(dc, nullptr);
        RenderPrintScript(state, dc, RECT{10, 10, 400, 600});
        ::DeleteEnhMetaFile(::CloseEnhMetaFile(dc));
        CTextDef::RemoveAll();
    });
}

}  // namespace
