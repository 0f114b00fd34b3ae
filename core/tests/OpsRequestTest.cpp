#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "COpsRequest.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "FakeMachine.h"
#include "FakeServer.h"
#include "KavoMessages.h"
#include "OpsTiming.h"
#include "PcInfo.h"
#include "NotifyWindow.h"
#include "ThreadStart.h"

namespace {

const char kPluginKey[] = "SOFTWARE\\Shieldvale\\CoreClient\\1700\\LicensePlugin";

// The installed product's serial where the product keeps it; removed again at the end.
class InstalledSerial {
public:
    explicit InstalledSerial(const char* serial)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPluginKey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "SN", 0, REG_SZ, reinterpret_cast<const BYTE*>(serial), DWORD(strlen(serial) + 1));
            RegCloseKey(key);
        }
    }
    ~InstalledSerial()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPluginKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "SN");
            RegCloseKey(key);
        }
    }
    InstalledSerial(const InstalledSerial&) = delete;
    InstalledSerial& operator=(const InstalledSerial&) = delete;
};

class ComApartment {
public:
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

// A context signed in as the fake order system's default customer.
void SignIn(CPageContext& ctx)
{
    ctx.customer.VeldinCommonID = "C0001";
    ctx.customer.AccessKey = "KEY0001";
}

// ---------------------------------------------------------------------------------------
// The form and its escaping

TEST(OpsEscapeValue, KeptBytesStayAndEveryOtherByteIsLowerCaseHex)
{
    const struct {
        const char* value;
        const char* escaped;
    } cases[] = {
        {"", ""},
        {"AZaz09", "AZaz09"},
        {"!'()*-./:_~", "!'()*-./:_~"},
        {"a b", "a%20b"},
        {"x@y.z_w", "x%40y.z_w"},
        {"%&=+?#;,$", "%25%26%3d%2b%3f%23%3b%2c%24"},
        {"\t\r\n\x7f", "%09%0d%0a%7f"},
        {"あ", "%82%a0"},        // a full-width character: two groups
        {"ア", "%83A"},          // its trail byte is a kept letter
        {"ｱ", "%b1"},            // half-width katakana: one byte
        {"\xff", "%ff"},
    };
    for (const auto& c : cases) {
        CString out = "old";
        COpsRequest::EscapeValue(out, c.value);
        EXPECT_STREQ(out, c.escaped) << c.escaped;
    }
}

class OpsFormBody : public ::testing::Test {
protected:
    void SetUp() override
    {
        SignIn(ctx);
        ctx.customer.AccessKey = "K&1";
        ctx.customer.SerialID = "SN 1";
        ctx.customer.NickName = "私のPC";
        ctx.customer.MailAddressSN = "a.b_c@example.jp";
        ctx.customer.GrantGetMailAddress = "1";
        ctx.customer.GrantGetPCInfo = "0";
        CTextDef::SetText("COMMON_CFG_OPS_PCINFO_STVER", "ST 9.0");
        CTextDef::SetText("COMMON_REG_HKLM_KAVO", "HKEY_LOCAL_MACHINE\\SOFTWARE\\KavoTests\\Tool");
    }

    std::string Body(const char* id)
    {
        COpsRequest request(&source);
        request.SetContext(&ctx);
        CString out;
        request.BuildFormBody(out, id);
        return out.GetString();
    }

    CPageContext ctx;
    PcInfoSource source;
};

TEST_F(OpsFormBody, EachRequestCarriesItsFieldsInOrder)
{
    const std::string common = "&VeldinCommonID=C0001&AccessKey=K%261&CompanyID=J";
    const std::string serial = "&SerialID=SN%201";
    const std::string nick = "&NickName=%8e%84%82%cc" "PC";
    const std::string mail = "&MailAddressSN=a.b_c%40example.jp";
    const struct {
        const char* id;
        std::string rest;
    } cases[] = {
        {"1001", ""},
        {"1002", ""},
        {"1003", ""},
        {"1004", ""},
        {"1005", serial + nick + mail},
        {"1006", serial + nick + mail},
        {"1007", serial + nick},
        {"1008", ""},
        {"1009", serial},
        {"1010", serial + mail + "&GrantGetMailAddress=1"},
        {"1011", serial + "&GrantGetMailAddress=1&GrantGetPCInfo=0&GrantExtraFunction=0"
                          "&OsVerInfo=&CpuInfo=&MemInfo=&HddInfo=&IeVerInfo=&KavoVerInfo=&StVerInfo="},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Body(c.id), std::string("ID=") + c.id + common + c.rest) << c.id;
}

TEST_F(OpsFormBody, PcReportCarriesTheSevenTextsWhenAllowed)
{
    FakeMachine machine;
    machine.SetString(kFakeCpuKey, "ProcessorNameString", "Intel(R) Core(TM) i5-2400 CPU @ 3.10GHz");
    machine.SetDword(kFakeCpuKey, "~MHz", 3101);
    machine.totalPhysical = DWORDLONG(2048) << 20;
    machine.drives['C'].freeMb = 500;
    machine.SetString(kFakeBrowserKey, "svcVersion", "11.0");
    machine.SetString("SOFTWARE\\KavoTests\\Tool", "Version", "2.0");
    source.api = machine.Table();
    source.scsiRoot = HKEY_CURRENT_USER;
    source.scsiPath = "Software\\KavoTests\\NoSuchScsiMap";
    ctx.customer.GrantGetPCInfo = "1";
    ctx.SetValue("OPTIONAL_FUNCTION", "ENABLE");

    CString os;
    COpsRequest::EscapeValue(os, GetOsInfoText(source));
    EXPECT_EQ(Body("1011"), "ID=1011&VeldinCommonID=C0001&AccessKey=K%261&CompanyID=J&SerialID=SN%201"
                            "&GrantGetMailAddress=1&GrantGetPCInfo=1&GrantExtraFunction=1&OsVerInfo=" +
                                std::string(os) +
                                "&CpuInfo=Intel%20Core%20i5-2400%20%40%203.10GHz(3101MHz)&MemInfo=2048MB"
                                "&HddInfo=C:(500MB)%20%5b%5d&IeVerInfo=11.0&KavoVerInfo=2.0&StVerInfo=ST%209.0");

    // Only "ENABLE" itself enables the option.
    ctx.SetValue("OPTIONAL_FUNCTION", "enable");
    EXPECT_NE(Body("1011").find("&GrantExtraFunction=0&"), std::string::npos);
}

TEST_F(OpsFormBody, PcReportWithoutSelectedSerialNamesTheInstalledOne)
{
    InstalledSerial installed("SN-INSTALLED");
    ctx.customer.SerialID.Empty();
    EXPECT_NE(Body("1011").find("&SerialID=SN-INSTALLED&"), std::string::npos);
    // The other requests send the selected serial only.
    EXPECT_EQ(Body("1009"), "ID=1009&VeldinCommonID=C0001&AccessKey=K%261&CompanyID=J&SerialID=");
}

TEST_F(OpsFormBody, ProblemCharactersAreDroppedFromPcTextsOnly)
{
    FakeMachine machine;
    machine.SetString(kFakeCpuKey, "ProcessorNameString", "A\x87\x40" "B");  // 0x8740 is a problem character
    source.api = machine.Table();
    source.scsiRoot = HKEY_CURRENT_USER;
    source.scsiPath = "Software\\KavoTests\\NoSuchScsiMap";
    ctx.customer.GrantGetPCInfo = "1";
    EXPECT_NE(Body("1011").find("&CpuInfo=AB(0MHz)&"), std::string::npos);
}

// ---------------------------------------------------------------------------------------
// Reading answers

class OpsParse : public ::testing::Test {
protected:
    BOOL Parse(const std::string& text)
    {
        ctx.response.rawText = text.c_str();
        COpsRequest request;
        request.SetContext(&ctx);
        return request.ParseResponse();
    }

    ComApartment com;
    CPageContext ctx;
};

const char kListing[] =
    "<?xml version=\"1.0\"?>\r\n<VeldinSecurityListing>"
    "<BaseData><ID>1001</ID><ResultCode>0000</ResultCode></BaseData>"
    "<CustomerInformation><VeldinCommonID>C9</VeldinCommonID><BasicSerialCount>3</BasicSerialCount>"
    "<CustomerName>山田</CustomerName><MailAddressAL>al@example.jp</MailAddressAL></CustomerInformation>"
    "<SecurityAgreement SecurityID=\"S1\" AgreementID=\"A1\"><SecurityStatus>2</SecurityStatus>"
    "<DateServiceStart>2030/01/01</DateServiceStart></SecurityAgreement>"
    "<SecurityAgreement SecurityID=\"S2\"/>"
    "<SecuritySerial SerialID=\"SN1\"><NickName>居間のＰＣ</NickName><SerialStatus>3</SerialStatus>"
    "<ConstructionEndDate>2030/02/02</ConstructionEndDate><MailAddressSN>sn@example.jp</MailAddressSN>"
    "<GrantGetMailAddress>1</GrantGetMailAddress><GrantGetPCInfo>0</GrantGetPCInfo>"
    "<GrantExtraFunction>7</GrantExtraFunction><OsVerInfo>OS</OsVerInfo><CpuInfo>never read</CpuInfo>"
    "<MemInfo>1MB</MemInfo><HddInfo>C:</HddInfo><IeVerInfo>11</IeVerInfo><KavoVerInfo>2</KavoVerInfo>"
    "<StVerInfo>9</StVerInfo></SecuritySerial>"
    "<SecuritySerial SerialID=\"SN2\"><SerialStatus>x</SerialStatus></SecuritySerial>"
    "</VeldinSecurityListing>";

TEST_F(OpsParse, ListingFillsTheContext)
{
    ASSERT_TRUE(Parse(kListing));
    const COpsResponse& r = ctx.response;
    EXPECT_STREQ(r.BaseDataID, "1001");
    EXPECT_STREQ(r.ResultCode, "0000");
    EXPECT_STREQ(r.customerInformation.VeldinCommonID, "C9");
    EXPECT_STREQ(r.customerInformation.CustomerName, "山田");
    EXPECT_STREQ(r.customerInformation.MailAddressAL, "al@example.jp");
    EXPECT_EQ(ctx.customer.BasicSerialCount, 3);
    ASSERT_EQ(r.agreements.GetSize(), 2);
    EXPECT_STREQ(r.agreements[0].SecurityID, "S1");
    EXPECT_STREQ(r.agreements[0].AgreementID, "A1");
    EXPECT_STREQ(r.agreements[0].SecurityStatus, "2");
    EXPECT_STREQ(r.agreements[0].DateServiceStart, "2030/01/01");
    EXPECT_STREQ(r.agreements[1].SecurityID, "S2");
    EXPECT_STREQ(r.agreements[1].SecurityStatus, "");
    ASSERT_EQ(r.serials.GetSize(), 2);
    const COpsSerialInfo& s = r.serials[0];
    EXPECT_STREQ(s.SerialID, "SN1");
    EXPECT_STREQ(s.NickName, "居間のＰＣ");
    EXPECT_EQ(s.SerialStatus, 3);
    EXPECT_STREQ(s.ConstructionEndDate, "2030/02/02");
    EXPECT_STREQ(s.MailAddressSN, "sn@example.jp");
    EXPECT_TRUE(s.GrantGetMailAddress);
    EXPECT_FALSE(s.GrantGetPCInfo);
    EXPECT_TRUE(s.GrantExtraFunction);
    EXPECT_STREQ(s.OsVerInfo, "OS");
    EXPECT_STREQ(s.CpuInfo, "");
    EXPECT_STREQ(s.MemInfo, "1MB");
    EXPECT_STREQ(s.HddInfo, "C:");
    EXPECT_STREQ(s.IeVerInfo, "11");
    EXPECT_STREQ(s.KavoVerInfo, "2");
    EXPECT_STREQ(s.StVerInfo, "9");
    EXPECT_EQ(r.serials[1].SerialStatus, 0);  // no number
}

TEST_F(OpsParse, AbsentChildrenKeepTheirTargetsAndAbsentListsEmpty)
{
    ASSERT_TRUE(Parse(kListing));
    ASSERT_TRUE(Parse("<VeldinSecurityListing><BaseData><ResultCode>0002</ResultCode></BaseData>"
                      "</VeldinSecurityListing>"));
    EXPECT_STREQ(ctx.response.BaseDataID, "1001");
    EXPECT_STREQ(ctx.response.ResultCode, "0002");
    EXPECT_STREQ(ctx.response.customerInformation.CustomerName, "山田");
    EXPECT_EQ(ctx.customer.BasicSerialCount, 3);
    EXPECT_EQ(ctx.response.agreements.GetSize(), 0);
    EXPECT_EQ(ctx.response.serials.GetSize(), 0);
}

TEST_F(OpsParse, TextThatIsNoXmlChangesNothing)
{
    ASSERT_TRUE(Parse(kListing));
    for (const char* text : {"", "not xml", "<VeldinSecurityListing><BaseData>", "<?xml version=\"1.0\"?>"}) {
        EXPECT_FALSE(Parse(text)) << text;
        EXPECT_STREQ(ctx.response.ResultCode, "0000");
        EXPECT_EQ(ctx.response.agreements.GetSize(), 2);
        EXPECT_EQ(ctx.response.serials.GetSize(), 2);
    }
}

// The listing with its first line (the plain declaration) replaced by head.
std::string WithHead(const std::string& head, const std::string& body = kListing)
{
    return head + body.substr(std::strlen("<?xml version=\"1.0\"?>"));
}

// CP932 bytes as UTF-8 bytes.
std::string Utf8(const std::string& cp932)
{
    const int chars = MultiByteToWideChar(932, 0, cp932.data(), int(cp932.size()), nullptr, 0);
    std::wstring wide(size_t(chars), L'\0');
    MultiByteToWideChar(932, 0, cp932.data(), int(cp932.size()), &wide[0], chars);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), chars, nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), chars, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

// Real answers declare Shift_JIS; the parser is given text, never bytes, so whatever the
// answer declares it is read the same way here and on every system.
TEST_F(OpsParse, AnswerIsReadInTheEncodingItDeclares)
{
    const struct {
        const char* name;
        std::string text;
        bool loads;
    } cases[] = {
        {"Shift_JIS", WithHead("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"), true},
        {"lower case, single quotes, blanks", WithHead("<?xml version='1.0' encoding = 'shift_jis' ?>"), true},
        {"alias with standalone", WithHead("<?xml version=\"1.0\" encoding=\"Windows-31J\" standalone=\"yes\"?>"), true},
        {"undeclared: ANSI code page", kListing, true},
        {"no declaration at all", WithHead(""), true},
        {"UTF-8", Utf8(WithHead("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")), true},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + Utf8(kListing), true},
        {"unknown encoding", WithHead("<?xml version=\"1.0\" encoding=\"EUC-JP\"?>"), false},
        {"UTF-8 declared over CP932 bytes", WithHead("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"), false},
        {"declaration without end", WithHead("<?xml version=\"1.0\" encoding=\"Shift_JIS\""), false},
        {"unquoted encoding", WithHead("<?xml version=\"1.0\" encoding=Shift_JIS?>"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.response.customerInformation.CustomerName = "before";
        ctx.response.serials.RemoveAll();
        EXPECT_EQ(Parse(c.text), c.loads ? TRUE : FALSE);
        if (c.loads) {
            EXPECT_STREQ(ctx.response.customerInformation.CustomerName, "山田");
            ASSERT_EQ(ctx.response.serials.GetSize(), 2);
            EXPECT_STREQ(ctx.response.serials[0].NickName, "居間のＰＣ");
        } else {
            EXPECT_STREQ(ctx.response.customerInformation.CustomerName, "before");
            EXPECT_EQ(ctx.response.serials.GetSize(), 0);
        }
    }
}

// A document type could define entities that expand without end, or read files and
// addresses: no answer with one is read, and nothing it names is fetched.
TEST_F(OpsParse, AnswerWithADocumentTypeIsRefusedAndNothingItNamesIsFetched)
{
    FakeServer* server = FakeServer::Shared();
    ASSERT_NE(server, nullptr);
    ASSERT_TRUE(server->Reset());
    const std::string dtd = server->Url("/entities.dtd");
    const std::string entity = server->Url("/entity.txt");
    ASSERT_TRUE(server->Route("/entities.dtd", "<!ENTITY name \"from the dtd\">"));
    ASSERT_TRUE(server->Route("/entity.txt", "from outside"));
    const std::string listing = "<VeldinSecurityListing><BaseData><ResultCode>0000</ResultCode></BaseData>"
                                "<CustomerInformation><CustomerName>&name;</CustomerName></CustomerInformation>"
                                "</VeldinSecurityListing>";
    const std::string head = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
    const struct {
        const char* name;
        std::string doctype;
    } cases[] = {
        {"internal entities", "<!DOCTYPE VeldinSecurityListing [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">"
                              "<!ENTITY name \"&b;&b;&b;&b;&b;\">]>"},
        {"external entity", "<!DOCTYPE VeldinSecurityListing [<!ENTITY name SYSTEM \"" + entity + "\">]>"},
        {"external DTD", "<!DOCTYPE VeldinSecurityListing SYSTEM \"" + dtd + "\">"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.response.ResultCode = "before";
        EXPECT_FALSE(Parse(head + c.doctype + listing));
        EXPECT_STREQ(ctx.response.ResultCode, "before");
    }
    EXPECT_EQ(server->Hits("/entities.dtd"), 0);
    EXPECT_EQ(server->Hits("/entity.txt"), 0);
}

TEST_F(OpsParse, AnswerLongerThanTheLimitIsRefused)
{
    const size_t limit = 0x400000;
    const std::string listing = WithHead("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>");
    const std::string filler = "\r\n<!--" + std::string(limit - listing.size() - 9, 'x') + "-->";
    ASSERT_EQ((listing + filler).size(), limit);
    EXPECT_TRUE(Parse(listing + filler));
    ctx.response.ResultCode = "before";
    EXPECT_FALSE(Parse(listing + " " + filler));
    EXPECT_STREQ(ctx.response.ResultCode, "before");
}

// ---------------------------------------------------------------------------------------
// Runs against the fake order system

class OpsRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = FakeServer::Shared();
        ASSERT_NE(server, nullptr);
        ASSERT_TRUE(server->Reset());
        CTextDef::SetText("COMMON_URI_OPS", server->Url(FakeServer::OrdersPath()).c_str());
        CTextDef::SetText("COMMON_CFG_OPS_BUSYTIME_START", "0000");
        CTextDef::SetText("COMMON_CFG_OPS_BUSYTIME_END", "0000");
        CTextDef::SetText("COMMON_CFG_OPS_TIMEOUT", "5");
        CTextDef::SetText("COMMON_CFG_OPS_TIMEOUT2", "5");
        CTextDef::SetText("COMMON_CFG_OPS_POLLINGINTERVAL", "1");
        SignIn(ctx);
    }

    int Run(const char* id) { return request.Run(id, &ctx, TRUE); }

    FakeServer* server = nullptr;
    CPageContext ctx;
    COpsRequest request;
};

const char kTwoSerials[] =
    "\"serials\": [{\"SerialID\": \"SN1\", \"NickName\": \"\\u0082\\u00a0\", \"SerialStatus\": 3, "
    "\"GrantGetPCInfo\": 1, \"GrantGetMailAddress\": 1, \"GrantExtraFunction\": 1}, "
    "{\"SerialID\": \"SN2\", \"SerialStatus\": 1}], "
    "\"agreements\": [{\"SecurityID\": \"S0100\", \"AgreementID\": \"A0100\", \"SecurityStatus\": \"2\"}]";

TEST_F(OpsRun, SignInAndRefreshFillTheContext)
{
    ASSERT_TRUE(server->OrdersModel(std::string(kTwoSerials) + ", \"CustomerName\": \"\\u0088\\u00a2\""));
    EXPECT_EQ(Run("1001"), 0);
    EXPECT_EQ(ctx.errorCode.GetLength(), 0);
    EXPECT_STREQ(ctx.response.BaseDataID, "1001");
    EXPECT_STREQ(ctx.response.customerInformation.VeldinCommonID, "C0001");
    EXPECT_STREQ(ctx.response.customerInformation.CustomerName, "\x88\xa2");
    ASSERT_EQ(ctx.response.serials.GetSize(), 2);
    EXPECT_STREQ(ctx.response.serials[0].NickName, "あ");
    EXPECT_TRUE(ctx.response.serials[0].GrantGetPCInfo);
    EXPECT_NE(ctx.response.rawText.Find("<VeldinSecurityListing>"), -1);
    EXPECT_NE(ctx.response.serverTime, 0u);
    EXPECT_EQ(server->Last(FakeServer::OrdersPath(), "header:Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(server->Last(FakeServer::OrdersPath()), "ID=1001&VeldinCommonID=C0001&AccessKey=KEY0001&CompanyID=J");

    EXPECT_EQ(Run("1002"), 0);
    EXPECT_STREQ(ctx.response.BaseDataID, "1002");
    EXPECT_EQ(server->OrdersIds(), "1001,1002");
}

TEST_F(OpsRun, ResultCodesAreReturnedAsNumbers)
{
    ctx.customer.AccessKey = "WRONG";
    EXPECT_EQ(Run("1001"), 2);  // the fake's answer to a wrong key
    EXPECT_EQ(ctx.errorCode.GetLength(), 0);
    const struct {
        const char* result;
        int returned;
    } cases[] = {{"9991", 9991}, {"0000", 0}, {"ABCD", -1}, {"", -1}};
    SignIn(ctx);
    for (const auto& c : cases) {
        ASSERT_TRUE(server->OrdersScript("1002", std::string("\"result\": \"") + c.result + "\""));
        EXPECT_EQ(Run("1002"), c.returned) << c.result;
    }
}

TEST_F(OpsRun, EscapedFieldsReachTheServerAsWritten)
{
    ASSERT_TRUE(server->OrdersModel(kTwoSerials));
    ctx.customer.SerialID = "SN1";
    ctx.customer.NickName = "居間 PC@1";
    ctx.customer.MailAddressSN = "me+x@example.jp";
    EXPECT_EQ(Run("1005"), 0);
    EXPECT_EQ(server->OrdersFieldNames(), "ID,VeldinCommonID,AccessKey,CompanyID,SerialID,NickName,MailAddressSN");
    EXPECT_EQ(server->OrdersField("NickName"), "居間 PC@1");
    EXPECT_EQ(server->OrdersField("MailAddressSN"), "me+x@example.jp");
    EXPECT_EQ(server->Last(FakeServer::OrdersPath()),
              "ID=1005&VeldinCommonID=C0001&AccessKey=KEY0001&CompanyID=J&SerialID=SN1"
              "&NickName=%8b%8f%8a%d4%20PC%401&MailAddressSN=me%2bx%40example.jp");
}

TEST_F(OpsRun, OrderPollsUntilItsContractIsReady)
{
    ASSERT_TRUE(server->OrdersModel("\"polls_until_done\": 3, \"BasicSerialCount\": 2"));
    const DWORD start = GetTickCount();
    EXPECT_EQ(Run("1003"), 0);
    const DWORD took = GetTickCount() - start;
    EXPECT_EQ(ctx.errorCode.GetLength(), 0);
    EXPECT_EQ(server->OrdersIds(), "1003,1002,1002,1002");
    EXPECT_GE(took, 2900u);  // each status request one interval after the answer before it
    EXPECT_STREQ(ctx.customer.orderedSecurityID, "S0001");
    ASSERT_EQ(ctx.customer.selectedSerialIDs.GetSize(), 2);
    EXPECT_STREQ(ctx.customer.selectedSerialIDs[0], "SN000101");
    EXPECT_STREQ(ctx.customer.selectedSerialIDs[1], "SN000102");
    // The context holds the last status answer.
    EXPECT_STREQ(ctx.response.BaseDataID, "1002");
    ASSERT_EQ(ctx.response.agreements.GetSize(), 1);
    EXPECT_STREQ(ctx.response.agreements[0].SecurityStatus, "2");
}

TEST_F(OpsRun, ReinstallationPollsUntilTheSerialIsReinstalled)
{
    ASSERT_TRUE(server->OrdersModel(std::string(kTwoSerials) + ", \"polls_until_done\": 2"));
    ctx.customer.SerialID = "SN2";
    EXPECT_EQ(Run("1006"), 0);
    EXPECT_EQ(server->OrdersIds(), "1006,1002,1002");
    ASSERT_EQ(ctx.response.serials.GetSize(), 2);
    EXPECT_EQ(ctx.response.serials[1].SerialStatus, 4);
}

TEST_F(OpsRun, WorkThatDoesNotEndInTimeFailsWithItsOwnCode)
{
    CTextDef::SetText("COMMON_CFG_OPS_TIMEOUT", "2");
    for (const char* id : {"1003", "1004", "1006"}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(server->Reset());
        ASSERT_TRUE(server->OrdersModel(std::string(kTwoSerials) + ", \"polls_until_done\": 100"));
        ctx.customer.SerialID = "SN1";
        EXPECT_EQ(Run(id), -1);
        EXPECT_STREQ(ctx.errorCode, (std::string("EXG") + id).c_str());
        EXPECT_EQ(server->OrdersIds(), std::string(id) + ",1002,1002");
    }
}

TEST_F(OpsRun, BusyServerTimeAllowsTheLongerLimit)
{
    CTextDef::SetText("COMMON_CFG_OPS_BUSYTIME_START", "2350");
    CTextDef::SetText("COMMON_CFG_OPS_BUSYTIME_END", "0020");
    CTextDef::SetText("COMMON_CFG_OPS_TIMEOUT", "1");
    CTextDef::SetText("COMMON_CFG_OPS_TIMEOUT2", "4");
    const struct {
        const char* date;  // of the order's answer, GMT
        int polls;
        const char* error;
    } cases[] = {
        {"Tue, 01 Jan 2030 14:55:00 GMT", 3, ""},         // 23:55 in Japan: busy
        {"Tue, 01 Jan 2030 15:21:00 GMT", 1, "EXG1004"},  // 00:21: not busy
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        ASSERT_TRUE(server->Reset());
        ASSERT_TRUE(server->OrdersModel("\"polls_until_done\": 3"));
        ASSERT_TRUE(server->OrdersScript("1004", std::string("\"date\": \"") + c.date + "\""));
        Run("1004");
        EXPECT_STREQ(ctx.errorCode, c.error);
        std::string ids = "1004";
        for (int i = 0; i < c.polls; ++i)
            ids += ",1002";
        EXPECT_EQ(server->OrdersIds(), ids);
    }
}

TEST_F(OpsRun, RetryOnlyPollsForTheWorkOrderedBefore)
{
    ASSERT_TRUE(server->OrdersModel(kTwoSerials));
    ctx.SetValue("ops_retry_counter", "1");
    ctx.customer.orderedSecurityID = "S0100";
    EXPECT_EQ(Run("1003"), 0);
    EXPECT_EQ(server->OrdersIds(), "1002");
    EXPECT_STREQ(ctx.response.BaseDataID, "1002");
}

TEST_F(OpsRun, OrderAnswerWithoutContractFailsWithoutPolling)
{
    ASSERT_TRUE(server->OrdersScript("1003", "\"body\": \"<VeldinSecurityListing><BaseData><ID>1003</ID>"
                                             "<ResultCode>0000</ResultCode></BaseData></VeldinSecurityListing>\""));
    EXPECT_EQ(Run("1003"), -1);
    EXPECT_STREQ(ctx.errorCode, "EXG0000");
    EXPECT_EQ(server->OrdersIds(), "1003");
}

TEST_F(OpsRun, PollingFailuresEndTheRun)
{
    const struct {
        const char* name;
        const char* pollScript;  // for the first status request
        const char* id;
    } cases[] = {
        {"status 500", "\"status\": 500", "1003"},
        {"not xml", "\"body\": \"Service Unavailable\"", "1004"},
        {"no result code", "\"body\": \"<html>busy</html>\"", "1004"},
        {"result code", "\"result\": \"0003\"", "1003"},
        {"serial missing", "\"body\": \"<VeldinSecurityListing><BaseData><ResultCode>0000</ResultCode>"
                           "</BaseData></VeldinSecurityListing>\"", "1006"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server->Reset());
        ASSERT_TRUE(server->OrdersModel(kTwoSerials));
        ASSERT_TRUE(server->OrdersScript("1002", c.pollScript));
        ctx.customer.SerialID = "SN1";
        EXPECT_EQ(Run(c.id), -1);
        EXPECT_STREQ(ctx.errorCode, "EXG0000");
        EXPECT_EQ(server->OrdersIds(), std::string(c.id) + ",1002");
    }
}

// Whatever fails, the run reports a failure: never the "0000" an earlier run left behind.
TEST_F(OpsRun, FailuresAreNeverTheEarlierRunsSuccess)
{
    ASSERT_TRUE(server->OrdersModel(kTwoSerials));
    const struct {
        const char* name;
        const char* script;  // null: the endpoint itself is changed
        std::string endpoint;
    } cases[] = {
        // WinINet sends again on another connection when one drops unanswered (more than once
        // when it holds several idle ones): refuse more often than it tries.
        {"refused", "\"mode\": \"refuse\", \"times\": 5", ""},
        {"reset", "\"mode\": \"reset\", \"times\": 5", ""},
        {"404", "\"status\": 404", ""},
        {"500", "\"status\": 500", ""},
        {"not xml", "\"body\": \"Service Unavailable\"", ""},
        {"nul in the body", "\"nul\": true, \"at\": 60", ""},
        {"unknown encoding declared", "\"encoding\": \"EUC-JP\"", ""},
        {"longer than the limit", "\"pad_to\": 4194305", ""},
        {"closed port", nullptr, "http://127.0.0.1:" + std::to_string(server->ClosedPort()) + "/wso/direct.jsp"},
        {"unknown scheme", nullptr, "ftp://127.0.0.1/wso/direct.jsp"},
        {"no url", nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // No scripted answer that a case left unused reaches the next one.
        ASSERT_TRUE(server->Reset());
        ASSERT_TRUE(server->OrdersModel(kTwoSerials));
        CTextDef::SetText("COMMON_URI_OPS", server->Url(FakeServer::OrdersPath()).c_str());
        ASSERT_EQ(Run("1001"), 0);
        ASSERT_STREQ(ctx.response.ResultCode, "0000");
        if (c.script)
            ASSERT_TRUE(server->OrdersScript("1002", c.script));
        else
            CTextDef::SetText("COMMON_URI_OPS", c.endpoint.c_str());
        EXPECT_EQ(Run("1002"), -1);
        EXPECT_STREQ(ctx.errorCode, "EXG0000");
        EXPECT_STREQ(ctx.response.ResultCode, "");
        // What the failed answer did not replace stays.
        EXPECT_EQ(ctx.response.serials.GetSize(), 2);
    }
}

TEST_F(OpsRun, AnswerWithoutDateHeaderTakesThePcClock)
{
    ASSERT_TRUE(server->OrdersScript("1001", "\"date\": \"none\""));
    EXPECT_EQ(Run("1001"), 0);
    const LONGLONG now = ServerTimeNow();
    EXPECT_LE(std::llabs(LONGLONG(ctx.response.serverTime) - now), 120);
    ASSERT_TRUE(server->OrdersScript("1001", "\"date\": \"Tue, 01 Jan 2030 14:49:30 GMT\""));
    EXPECT_EQ(Run("1001"), 0);
    EXPECT_EQ(ServerTimeHhmm(LONGLONG(ctx.response.serverTime)), 2349);
}

TEST_F(OpsRun, RunWithoutWaitReportsItsEndToTheWindow)
{
    NotifyWindow window;
    ctx.notifyWindow = window.Get();
    ctx.notifyMessage = WM_KAVO_REQUESTDONE;
    ctx.response.ResultCode = "0002";  // an earlier outcome must not come back as this one's
    ASSERT_TRUE(server->OrdersScript("1001", "\"delay\": 0.5"));
    EXPECT_EQ(request.Run("1001", &ctx, FALSE), 0);
    const std::vector<MSG> done = window.Wait(20000);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].wParam, WPARAM(-1));
    EXPECT_EQ(done[0].lParam, reinterpret_cast<LPARAM>(&request));
    EXPECT_STREQ(ctx.response.ResultCode, "0000");
    EXPECT_EQ(ctx.errorCode.GetLength(), 0);

    // Failures are reported the same way.
    ASSERT_TRUE(server->OrdersScript("1002", "\"status\": 500"));
    EXPECT_EQ(request.Run("1002", &ctx, FALSE), 0);
    ASSERT_EQ(window.Wait(20000).size(), 1u);
    EXPECT_STREQ(ctx.errorCode, "EXG0000");
}

TEST_F(OpsRun, WaitedRunPostsNoCompletionMessage)
{
    NotifyWindow window;
    ctx.notifyWindow = window.Get();
    ctx.notifyMessage = WM_KAVO_REQUESTDONE;
    EXPECT_EQ(Run("1001"), 0);
    EXPECT_TRUE(window.Wait(300).empty());
}

TEST_F(OpsRun, DestroyingTheRequestWaitsForItsWorker)
{
    auto* pending = new COpsRequest;
    ASSERT_TRUE(server->OrdersScript("1001", "\"delay\": 0.5"));
    EXPECT_EQ(pending->Run("1001", &ctx, FALSE), 0);
    delete pending;
    EXPECT_STREQ(ctx.response.ResultCode, "0000");
}

TEST_F(OpsRun, ProtocolFilesWhenTheTraceSwitchIsOn)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "kavo-opslog-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    CTextDef::SetText("COMMON_NAME_OPSLOGDIR", folder.c_str());

    const auto files = [&folder](const char* kind) {
        std::vector<std::string> found;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder + "[OPSLOG]*_" + kind + ".txt").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do
                found.push_back(folder + data.cFileName);
            while (FindNextFileA(find, &data));
            FindClose(find);
        }
        return found;
    };
    const auto read = [](const std::string& path) {
        std::string bytes;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        char buffer[4096];
        DWORD got = 0;
        while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got)
            bytes.append(buffer, got);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        return bytes;
    };

    EXPECT_EQ(Run("1001"), 0);  // switch off: no file
    EXPECT_TRUE(files("POST_1001").empty());
    ctx.traceLog.SetOpsTrace(1);
    EXPECT_EQ(Run("1001"), 0);
    const std::vector<std::string> posted = files("POST_1001");
    const std::vector<std::string> answered = files("RESP_1001");
    ASSERT_EQ(posted.size(), 1u);
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(read(posted[0]), server->Last(FakeServer::OrdersPath()));
    EXPECT_EQ(read(answered[0]), std::string(ctx.response.rawText));

    for (const auto* kind : {"POST_1001", "RESP_1001"})
        for (const std::string& path : files(kind))
            DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

// ---------------------------------------------------------------------------------------
// The PC-information report

TEST_F(OpsRun, PcReportGoesOutUnderTheInstalledSerialWithItsConsent)
{
    InstalledSerial installed("SN1");
    ASSERT_TRUE(server->OrdersModel(kTwoSerials));
    ASSERT_EQ(Run("1001"), 0);
    ctx.customer.SerialID = "SN2";  // another serial is selected on the page
    ctx.customer.GrantGetPCInfo = "0";
    FakeMachine machine;
    PcInfoSource source;
    source.api = machine.Table();
    EXPECT_EQ(SendPcInfoReport(&ctx, 2, &source), 0);
    EXPECT_EQ(server->OrdersIds(), "1001,1002,1011,1002");
    EXPECT_EQ(server->OrdersField("SerialID", 2), "SN1");
    EXPECT_EQ(server->OrdersField("GrantGetPCInfo", 2), "1");
    EXPECT_EQ(server->OrdersField("GrantGetMailAddress", 2), "1");
    EXPECT_EQ(server->OrdersField("GrantExtraFunction", 2), "1");
    EXPECT_EQ(server->OrdersField("MemInfo", 2), "0MB");
    // The page's own data is untouched.
    EXPECT_STREQ(ctx.customer.SerialID, "SN2");
    EXPECT_STREQ(ctx.customer.GrantGetPCInfo, "0");
}

TEST_F(OpsRun, PcReportSendsNothingWithoutInstalledSerialOrConsent)
{
    ASSERT_TRUE(server->OrdersModel(kTwoSerials));
    ASSERT_EQ(Run("1001"), 0);
    EXPECT_EQ(SendPcInfoReport(&ctx, 1), 0);  // no installed serial
    {
        InstalledSerial installed("SN2");  // its GrantGetPCInfo is 0
        EXPECT_EQ(SendPcInfoReport(&ctx, 1), 0);
    }
    {
        InstalledSerial installed("SN-UNKNOWN");
        EXPECT_EQ(SendPcInfoReport(&ctx, 0), 0);
    }
    EXPECT_EQ(server->OrdersIds(), "1001,1002");
}

TEST_F(OpsRun, PcReportFailsWhenItsRefreshFails)
{
    InstalledSerial installed("SN1");
    ASSERT_TRUE(server->OrdersModel(kTwoSerials));
    ASSERT_TRUE(server->OrdersScript("1002", "\"status\": 500"));
    EXPECT_EQ(SendPcInfoReport(&ctx, 0), -1);
    EXPECT_EQ(server->OrdersIds(), "1002");
}

// The whole sign-in and order flow against the fake, as the pages run it.
// Every shape a real answer comes in: declared Shift_JIS (the default), no declaration,
// UTF-8, a body without a length (chunked, or ended by the close), at the size limit, and
// over TLS to a server whose certificate chains to a trusted root.
TEST_F(OpsRun, AnswersInEveryRealShapeFillTheContext)
{
    const struct {
        const char* name;
        const char* script;  // members of the "1001" answer's script, or null
        const char* fault;   // body shape on the endpoint, or null
        bool https;
    } cases[] = {
        {"Shift_JIS declared", nullptr, nullptr, false},
        {"undeclared CP932 bytes", "\"encoding\": \"\"", nullptr, false},
        {"UTF-8", "\"encoding\": \"UTF-8\"", nullptr, false},
        {"chunked", nullptr, "chunked", false},
        {"no length", nullptr, "no-length", false},
        {"exactly the size limit", "\"pad_to\": 4194304", nullptr, false},
        {"https", nullptr, nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server->Reset());
        ASSERT_TRUE(server->OrdersModel(std::string(kTwoSerials) + ", \"CustomerName\": \"\\u0088\\u00a2\""));
        if (c.script) {
            ASSERT_TRUE(server->OrdersScript("1001", c.script));
        }
        if (c.fault) {
            ASSERT_TRUE(server->Fail(FakeServer::OrdersPath(), c.fault, 1, "\"chunk\": 100"));
        }
        const std::string endpoint =
            c.https ? server->TlsUrl(FakeServer::OrdersPath()) : server->Url(FakeServer::OrdersPath());
        CTextDef::SetText("COMMON_URI_OPS", endpoint.c_str());
        ctx.response.customerInformation.CustomerName.Empty();
        ctx.response.serials.RemoveAll();
        EXPECT_EQ(Run("1001"), 0);
        EXPECT_EQ(ctx.errorCode.GetLength(), 0);
        EXPECT_STREQ(ctx.response.customerInformation.CustomerName, "\x88\xa2");
        ASSERT_EQ(ctx.response.serials.GetSize(), 2);
        EXPECT_STREQ(ctx.response.serials[0].NickName, "\x82\xa0");
        EXPECT_EQ(server->OrdersIds(), "1001");
    }
}

TEST_F(OpsRun, OrderRunsOverHttpsToCompletionAndAnUntrustedServerGetsNothing)
{
    ASSERT_TRUE(server->OrdersModel("\"polls_until_done\": 2, \"BasicSerialCount\": 1"));
    CTextDef::SetText("COMMON_URI_OPS", server->TlsUrl(FakeServer::OrdersPath()).c_str());
    EXPECT_EQ(Run("1001"), 0);
    EXPECT_EQ(Run("1003"), 0);
    EXPECT_EQ(ctx.errorCode.GetLength(), 0);
    EXPECT_EQ(server->OrdersIds(), "1001,1003,1002,1002");
    EXPECT_STREQ(ctx.response.serials[0].SerialID, "SN000101");
    EXPECT_EQ(server->Log(FakeServer::OrdersPath()).find("\"listener\": \"http\""), std::string::npos)
        << "a request went over plain HTTP";

    CTextDef::SetText("COMMON_URI_OPS", server->UntrustedTlsUrl(FakeServer::OrdersPath()).c_str());
    EXPECT_EQ(Run("1002"), -1);
    EXPECT_STREQ(ctx.errorCode, "EXG0000");
    EXPECT_EQ(server->OrdersIds(), "1001,1003,1002,1002");
}

TEST_F(OpsRun, RunWhoseThreadCannotStartFails)
{
    NotifyWindow window;
    ctx.notifyWindow = window.Get();
    ctx.notifyMessage = WM_KAVO_REQUESTDONE;
    for (BOOL wait : {TRUE, FALSE}) {
        SCOPED_TRACE(wait ? "waiting" : "not waiting");
        ctx.response.ResultCode = "0000";
        const ThreadStarter previous =
            SetThreadStarter([](ThreadProc, void*, unsigned, unsigned*) -> HANDLE { return nullptr; });
        const int result = request.Run("1001", &ctx, wait);
        SetThreadStarter(previous);
        EXPECT_EQ(result, -1);
        EXPECT_STREQ(ctx.errorCode, "EXG0000");
        EXPECT_STREQ(ctx.response.ResultCode, "");
        // A page that does not wait hears of the end all the same; one that waits has its answer.
        EXPECT_EQ(window.Wait(wait ? 300 : 20000).size(), wait ? 0u : 1u);
    }
    EXPECT_EQ(server->OrdersIds(), "");
}

TEST_F(OpsRun, SignInThenOrderToCompletion)
{
    ASSERT_TRUE(server->OrdersModel("\"polls_until_done\": 2, \"BasicSerialCount\": 1"));
    EXPECT_EQ(Run("1001"), 0);
    EXPECT_EQ(Run("1002"), 0);
    EXPECT_EQ(ctx.response.agreements.GetSize(), 0);
    NotifyWindow window;
    ctx.notifyWindow = window.Get();
    ctx.notifyMessage = WM_KAVO_REQUESTDONE;
    EXPECT_EQ(request.Run("1003", &ctx, FALSE), 0);
    ASSERT_EQ(window.Wait(30000).size(), 1u);
    EXPECT_EQ(ctx.errorCode.GetLength(), 0);
    EXPECT_STREQ(ctx.response.ResultCode, "0000");
    EXPECT_EQ(server->OrdersIds(), "1001,1002,1003,1002,1002");
    ASSERT_EQ(ctx.response.serials.GetSize(), 1);
    EXPECT_STREQ(ctx.response.serials[0].SerialID, "SN000101");
}

}  // namespace
