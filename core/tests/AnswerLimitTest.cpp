// Every reader of a content-server answer is bounded as definition files are: an answer of
// 4 MiB is read, one of a byte more is refused, however the server sends it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "CCheckRequirement.h"
#include "CKAVOIniFileLoader.h"
#include "CTextDef.h"
#include "ExternalDefinitions.h"
#include "FakeServer.h"

namespace {

const size_t kLimit = 0x400000;
const char kJudged[] = "http://127.0.0.1:65002";

class CountingLoader : public CKAVOIniFileLoader {
public:
    BOOL OnEntry(const char*, const char*, const char*) override
    {
        ++entries;
        return TRUE;
    }
    int entries = 0;
};

bool JudgementRead(const std::string& url)
{
    CTextDef::SetText("COMMON_URI_DOMAIN_JUDGE", url.c_str());
    CTextDef::SetDomainUrl("http://127.0.0.1:65000");
    JudgeDomain();
    return CTextDef::GetDomainUrl() == kJudged;
}

bool DefinitionFileRead(const std::string& url)
{
    CountingLoader loader;
    return loader.LoadUrl(url.c_str()) && loader.entries == 1;
}

bool ConflictListRead(const std::string& url)
{
    CTextDef::SetText("COMMON_URI_CONFLICTIONCHKDATA", url.c_str());
    CTextDef::SetText("COMMON_DATA_CONFLICT_EXCLUDE_LIST", "");
    CCheckRequirement check;
    CSimpleArray<CString> names;
    CSimpleArray<CString> keys;
    return check.CheckConflicts(names, keys) != FALSE;
}

const struct {
    const char* name;
    bool (*read)(const std::string& url);
} kReaders[] = {
    {"domain judgement", JudgementRead},
    {"definition file", DefinitionFileRead},
    {"conflict list", ConflictListRead},
};

class AnswerLimit : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = FakeServer::Shared();
        ASSERT_NE(server, nullptr);
        ASSERT_TRUE(server->Reset());
        CTextDef::SetText("COMMON_REG_HKLM_KAVO", ("HKEY_LOCAL_MACHINE\\" + m_regPath).c_str());
    }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_regPath.c_str());
        CTextDef::SetDomainUrl("");
    }

    FakeServer* server = nullptr;
    std::string m_regPath = "SOFTWARE\\KavoAnswerLimitTest\\" + std::to_string(GetCurrentProcessId());
};

TEST_F(AnswerLimit, ReadersTakeFourMebibytesAndRefuseAByteMore)
{
    // One body for all: a judgement line, then a comment (or an odd candidate) that fills it up.
    const std::string head = std::string("Domain=") + kJudged + "\r\n;";
    for (const auto& reader : kReaders) {
        for (const char* shape : {"", "chunked", "no-length"}) {
            for (size_t size : {kLimit, kLimit + 1}) {
                SCOPED_TRACE(std::string(reader.name) + ", " + (*shape ? shape : "with length") + ", " +
                             std::to_string(size));
                ASSERT_TRUE(server->RoutePadded("/answer", head, size, 'x'));
                if (*shape) {
                    ASSERT_TRUE(server->Fail("/answer", shape, 1, "\"chunk\": 65536"));
                }
                EXPECT_EQ(reader.read(server->Url("/answer")), size == kLimit);
            }
        }
    }
}

}  // namespace
