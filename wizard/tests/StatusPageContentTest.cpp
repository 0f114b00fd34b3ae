// What the contract status page and the cancellation choice page show for an answer of the
// order system: their documents, control texts and buttons, and the serial lists.
#include "PageContentBench.h"

#include <windows.h>

#include <string>
#include <vector>

#include "CKAVODlg.h"
#include "pages/CModifyStatusDialog.h"
#include "pages/CStatusDialog.h"

namespace {

using Strings = std::vector<std::string>;

struct FigureCase;

class StatusPageContent : public PageContentBench {
protected:
    void GiveContracts(const FigureCase& c);
    void SetUp() override
    {
        PageContentBench::SetUp();
        // Texts that name the key that was used, and show the values of its names.
        CTextDef::SetText("A_N08_IDC_AGREEMENTS_1", "agreements 1");
        CTextDef::SetText("A_N08_IDC_AGREEMENTS_2", "agreements 2");
        CTextDef::SetText("A_N08_IDC_STATIC5_1", "fee free");
        CTextDef::SetText("A_N08_IDC_STATIC5_2", "fee &基本契約料金;/&基本契約料金税込み;");
        CTextDef::SetText("A_N08_IDC_STATIC6_1", "count &基本契約シリアル数;");
        CTextDef::SetText("A_N08_IDC_STATIC6_2", "count &基本契約シリアル数;+&追加契約数;");
        CTextDef::SetText("A_N08_IDC_STATIC7_1", "none yet");
        CTextDef::SetText("A_N08_IDC_STATIC7_2", "serial list");
        CTextDef::SetText("A_N08_IDC_STATIC8", "serials");
        CTextDef::SetText("A_N08_IDC_STATIC8_2", "free &VacantLicenseSerialCount;");
        CTextDef::SetText("A_N08_IDC_STATIC11_1", "banner 1");
        CTextDef::SetText("A_N08_IDC_STATIC11_3", "banner 3");
        CTextDef::SetText("A_N08_IDC_WEBBROWSER_1", "<p>new</p>");
        CTextDef::SetText("A_N08_IDC_WEBBROWSER_2", "<table>&LicenseSerialStatus;</table>");
        CTextDef::SetText("A_N08_TMPL_SERIAL", "<tr>&SerialID;</tr>");
        CTextDef::SetText("COMMON_NUM_TAXRATE", "1000");
    }
};

// All the contract and fee names, "|" between them, in one text.
const char kFigureNames[] =
    "&追加契約数;|&基本契約料金;|&基本契約料金税込み;|&追加契約料金;|&追加契約料金税込み;|&基本契約シリアル数;|"
    "&基本契約シリアル数+1;|&追加契約シリアル数;|&追加契約総シリアル数;";

TEST_F(StatusPageContent, ContractStateChoosesTextsDocumentAndButtons)
{
    struct Case {
        const char* name;
        std::vector<const char*> agreementStates;
        std::vector<int> serialStates;
        bool feesReady;
        // What the page shows.
        const char* document;
        const char* agreementsText;
        const char* feeText;
        const char* countText;
        const char* headingText;
        const char* serialsText;
        const char* bannerText;
        bool contractShown, serialsShown, bannerShown, addShown, removeShown;
        bool addEnabled, removeEnabled;
        const char* mode;
    };
    const Case cases[] = {
        {"no agreement at all", {}, {}, true, "<p>new</p>", "agreements 1", "fee free", "count 1", "none yet", "serials",
         "banner 1", true, false, false, false, false, true, false, "新規契約"},
        {"only ended agreements", {"0", "4", "x"}, {3}, true, "<p>new</p>", "agreements 1", "fee free", "count 1",
         "none yet", "serials", "banner 1", true, false, false, false, false, true, false, "新規契約"},
        {"one contract with a serial awaiting installation", {"1"}, {3, 1}, true, "<table><tr>S0</tr><tr>S1</tr></table>",
         "agreements 2", "fee 300/330", "count 1", "serial list", "free 1", "banner 3", false, true, true, true, true,
         false, false, "追加/変更"},
        {"one contract with a serial waiting for registration", {"2"}, {0, 5}, true,
         "<table><tr>S0</tr><tr>S1</tr></table>", "agreements 2", "fee 300/330", "count 1", "serial list", "free 1",
         "banner 3", false, true, true, true, true, false, false, "追加/変更"},
        {"two contracts, every serial started, fees ready", {"3", "2", "5"}, {2, 3, 4, 5}, true,
         "<table><tr>S0</tr><tr>S1</tr><tr>S2</tr><tr>S3</tr></table>", "agreements 2", "fee 300/330", "count 1+2",
         "serial list", "free 0", "banner 3", false, true, true, true, true, true, true, "追加/変更"},
        {"two contracts, fee table not ready", {"1", "1"}, {3}, false, "<table><tr>S0</tr></table>", "agreements 2",
         "fee free", "count 1+0", "serial list", "free 0", "banner 3", false, true, true, true, true, true, true,
         "追加/変更"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetFeeCalc().Clear();
        if (c.feesReady)
            MakeFeesReady();
        context.response.agreements.RemoveAll();
        context.response.serials.RemoveAll();
        context.customer.BasicSerialCount = 1;
        for (const char* state : c.agreementStates)
            AddAgreement("SEC", "0", state);
        for (size_t i = 0; i < c.serialStates.size(); ++i)
            AddSerial(("S" + std::to_string(i)).c_str(), c.serialStates[i]);

        CStatusDialog* page = Open(new CStatusDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Html(page), c.document);
        EXPECT_EQ(ItemText(page, IDC_AGREEMENTS), c.agreementsText);
        EXPECT_EQ(ItemText(page, IDC_STATIC5), c.feeText);
        EXPECT_EQ(ItemText(page, IDC_STATIC6), c.countText);
        EXPECT_EQ(ItemText(page, IDC_STATIC7), c.headingText);
        EXPECT_EQ(ItemText(page, IDC_STATIC8), c.serialsText);
        EXPECT_EQ(ItemText(page, IDC_STATIC11), c.bannerText);
        EXPECT_EQ(ItemShown(page, IDC_AGREEMENTS), c.contractShown);
        // A shown contract button must take a click: the template makes it disabled.
        EXPECT_EQ(ItemEnabled(page, IDC_AGREEMENTS), c.contractShown);
        EXPECT_EQ(ItemShown(page, IDC_STATIC8), c.serialsShown);
        EXPECT_EQ(ItemShown(page, IDC_STATUSLINE), c.bannerShown);
        EXPECT_EQ(ItemShown(page, IDC_ADD), c.addShown);
        EXPECT_EQ(ItemShown(page, IDC_DEL), c.removeShown);
        EXPECT_EQ(ItemEnabled(page, IDC_ADD), c.addEnabled);
        EXPECT_EQ(ItemEnabled(page, IDC_DEL), c.removeEnabled);
        EXPECT_EQ(context.GetValue("AN08_MODE"), c.mode);
        ::DestroyWindow(page->m_hWnd);
    }
}

TEST_F(StatusPageContent, RefreshRebuildsThePageFromTheNewAnswer)
{
    CStatusDialog* page = Open(new CStatusDialog);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(Html(page), "<p>new</p>");

    AddAgreement("SEC", "0", "1");
    AddAgreement("SEC", "1", "1");
    AddSerial("S0", 3);
    page->LoadBrowserContent(200);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Html(page), "<table><tr>S0</tr></table>");
    EXPECT_EQ(page->m_activeContracts, 2);
    EXPECT_FALSE(ItemShown(page, IDC_AGREEMENTS));
    EXPECT_TRUE(ItemShown(page, IDC_DEL));
    EXPECT_TRUE(ItemEnabled(page, IDC_DEL));
    EXPECT_EQ(ItemText(page, IDC_STATIC11), "banner 3");
    EXPECT_EQ(context.GetValue("AN08_MODE"), "追加/変更");
}

struct FigureCase {
    const char* name;
    std::vector<const char*> agreementStates;
    std::vector<int> serialStates;
    int basicSerials;
    bool feesReady;
    const char* statusPage;
    const char* modifyPage;
};

// Fees 300, 300, then 200 each; tax 10 %.
const FigureCase kFigureCases[] = {
    // Neither a basic fee nor a count below zero without a contract.
    {"no agreement", {}, {}, 1, true, "0|-|-|-|-|1|2|1|0", "0|-|-|-|-|1|2|1|0"},
    // Three live serials on one contract, one of them basic: two additional ones.
    {"one contract, three live serials", {"1"}, {1, 3, 3, 5}, 1, true, "2|300|330|500|550|1|2|1|0",
     "0|300|330|500|550|1|2|1|2"},
    {"three contracts, two basic serials", {"1", "2", "3", "0"}, {3, 3, 3, 4}, 2, true, "2|600|660|400|440|2|3|1|2",
     "2|600|660|400|440|2|3|1|3"},
    {"fee table not ready", {"1", "2"}, {3, 3, 3}, 1, false, "2|-|-|-|-|1|2|1|1", "1|-|-|-|-|1|2|1|2"},
};

// The answer and fee table of one figure case, in place of the previous one's.
void StatusPageContent::GiveContracts(const FigureCase& c)
{
    GetFeeCalc().Clear();
    if (c.feesReady)
        MakeFeesReady();
    context.response.agreements.RemoveAll();
    context.response.serials.RemoveAll();
    context.customer.BasicSerialCount = c.basicSerials;
    for (const char* state : c.agreementStates)
        AddAgreement("SEC", "0", state);
    for (size_t i = 0; i < c.serialStates.size(); ++i)
        AddSerial(("S" + std::to_string(i)).c_str(), c.serialStates[i]);
}

TEST_F(StatusPageContent, ContractAndFeeNamesOfTheStatusPage)
{
    CTextDef::SetText("A_N08_IDC_WEBBROWSER_1", kFigureNames);
    CTextDef::SetText("A_N08_IDC_WEBBROWSER_2", kFigureNames);
    for (const FigureCase& c : kFigureCases) {
        SCOPED_TRACE(c.name);
        GiveContracts(c);
        CStatusDialog* page = Open(new CStatusDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Html(page), c.statusPage);
        ::DestroyWindow(page->m_hWnd);
    }
}

TEST_F(StatusPageContent, ContractAndFeeNamesOfTheCancellationChoicePage)
{
    CTextDef::SetText("A_N08_2_IDC_WEBBROWSER", kFigureNames);
    for (const FigureCase& c : kFigureCases) {
        SCOPED_TRACE(c.name);
        GiveContracts(c);
        CModifyStatusDialog* page = Open(new CModifyStatusDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Html(page), c.modifyPage);
        ::DestroyWindow(page->m_hWnd);
    }
}

TEST_F(StatusPageContent, CustomerDataIsEscapedInTheDocumentAndShownAsItIsInControls)
{
    CTextDef::SetText("A_N08_IDC_WEBBROWSER_1", "<p>&CustomerID;|&CustomerName;|&ErrorChar;</p>");
    CTextDef::SetText("A_N08_2_IDC_WEBBROWSER", "<p>&CustomerID;|&CustomerName;|&ErrorChar;</p>");
    context.response.customerInformation.VeldinCommonID = "12<34>";
    context.response.customerInformation.CustomerName = "山田 & \"太郎\"";

    CStatusDialog* status = new CStatusDialog;
    status->m_errorChar = "＃";
    ASSERT_NE(Open(status), nullptr);
    EXPECT_EQ(Html(status), "<p>12&lt;34&gt;|山田&nbsp;&amp;&nbsp;&quot;太郎&quot;|＃</p>");
    EXPECT_EQ(ItemText(status, IDC_STATIC3), "お客さまID：12<34>");
    EXPECT_EQ(ItemText(status, IDC_STATIC4), "お名前：山田 & \"太郎\" 様");

    // The cancellation choice page has no rejected characters of its own.
    CModifyStatusDialog* modify = Open(new CModifyStatusDialog);
    ASSERT_NE(modify, nullptr);
    EXPECT_EQ(Html(modify), "<p>12&lt;34&gt;|山田&nbsp;&amp;&nbsp;&quot;太郎&quot;|&ErrorChar;</p>");
    EXPECT_EQ(ItemText(modify, IDC_STATIC4), "お名前：山田 & \"太郎\" 様");

    // A "&" in the customer's data is no shortcut marker in these controls: it shows as it is.
    for (const CWBDialog* page : {static_cast<const CWBDialog*>(status), static_cast<const CWBDialog*>(modify)})
        for (const int id : {IDC_STATIC3, IDC_STATIC4})
            EXPECT_NE(::GetWindowLongA(::GetDlgItem(page->m_hWnd, id), GWL_STYLE) & SS_NOPREFIX, 0) << id;
}

TEST_F(StatusPageContent, ModifyPageTextsFollowTheContracts)
{
    CTextDef::SetText("A_N08_2_IDC_STATIC10", "choose");
    CTextDef::SetText("A_N08_2_IDC_WEBBROWSER", "<p>modify</p>");
    struct Case {
        const char* name;
        std::vector<const char*> agreementStates;
        bool feesReady;
        const char* feeText;
        const char* countText;
    };
    const Case cases[] = {
        {"no contract", {}, true, "fee free", "count 1"},
        {"one contract", {"1"}, true, "fee 300/330", "count 1"},
        {"two contracts, no fee table", {"1", "3"}, false, "fee free", "count 1+1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetFeeCalc().Clear();
        if (c.feesReady)
            MakeFeesReady();
        context.response.agreements.RemoveAll();
        context.customer.BasicSerialCount = 1;
        for (const char* state : c.agreementStates)
            AddAgreement("SEC", "0", state);
        CModifyStatusDialog* page = Open(new CModifyStatusDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Html(page), "<p>modify</p>");
        EXPECT_EQ(ItemText(page, IDC_STATIC5), c.feeText);
        EXPECT_EQ(ItemText(page, IDC_STATIC6), c.countText);
        EXPECT_EQ(ItemText(page, IDC_STATIC10), "choose");
        ::DestroyWindow(page->m_hWnd);
    }
}

TEST_F(StatusPageContent, SerialRowsFollowEachStatus)
{
    CTextDef::SetText("A_N08_TMPL_SERIAL",
                      "[&SerialID;|&NickName;|&MailAddress;|&SerialStatusText;|&SerialStatusColor;|&ChNicknameDisabled;|"
                      "&ChMailaddrDisabled;|&ChNicknameFilter;|&ChMailaddrFilter;|&SerialStatusActionText;|&INSPATH;|"
                      "&NICKPATH;|&MAILPATH;|&ActionDisabled;]");
    CTextDef::SetText("A_N08_SERIALACTION_0", "act0");
    CTextDef::SetText("A_N08_SERIALACTION_1", "act1 &CURL;");
    CTextDef::SetText("A_N08_SERIALACTION_2", "act2");
    CTextDef::SetText("A_N08_SERIALSTATUSCOLOR_6", "grey");
    struct Case {
        int status;
        const char* row;
    };
    const Case cases[] = {
        {0, "[S|n|m|登録待ち|RGB(128,128,128)|disabled|disabled|Filter:Gray();|Filter:Gray();|act0|noinst.png|"
            "nonickname.png|nomailadd.png|disabled]"},
        // Awaiting installation: install offered, nickname and mail not yet changeable.
        {1, "[S|n|m|インストール待ち|RGB(255,102,0)|disabled|disabled|Filter:Gray();|Filter:Gray();|"
            "act1 http://127.0.0.1:9|inst.png|nonickname.png|nomailadd.png|]"},
        {2, "[S|n|m|インストール中|RGB(0,102,204)|||||act1 http://127.0.0.1:9|inst.png|nickname.png|mailadd.png|]"},
        {3, "[S|n|m|利用中|RGB(0,153,51)|||||act2|reinst.png|nickname.png|mailadd.png|]"},
        {4, "[S|n|m|再インストール中|RGB(0,102,204)|||||act2|reinst.png|nickname.png|mailadd.png|]"},
        {5, "[S|n|m|利用不可|RGB(204,0,0)|disabled|disabled|Filter:Gray();|Filter:Gray();|act0|noinst.png|"
            "nonickname.png|nomailadd.png|disabled]"},
        // A status the tool does not know offers no action and names no image.
        {6, "[S|n|m||grey|disabled|disabled|Filter:Gray();|Filter:Gray();|&SerialStatusActionText;|&INSPATH;|"
            "&NICKPATH;|&MAILPATH;|disabled]"},
    };
    CStatusDialog* page = Open(new CStatusDialog);
    ASSERT_NE(page, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        context.response.serials.RemoveAll();
        AddSerial("S", c.status, "n", "", "m");
        EXPECT_EQ(std::string(page->BuildSerialStatusList()), c.row);
    }
}

TEST_F(StatusPageContent, SerialListKeepsListOrderEscapesUserTextAndInsertsValuesOnce)
{
    CTextDef::SetText("A_N08_TMPL_SERIAL", "<tr id=\"&SerialID;\"><td>&NickName;</td><td>&MailAddress;</td></tr>");
    AddSerial("S2", 3, "<b>\"私の\" PC</b>", "", "a&b@example.jp");
    AddSerial("&CURL;", 1, "&CURL;", "", "");
    AddSerial("S1", 0, "", "", "");
    CStatusDialog* page = Open(new CStatusDialog);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(std::string(page->BuildSerialStatusList()),
              "<tr id=\"S2\"><td>&lt;b&gt;&quot;私の&quot;&nbsp;PC&lt;/b&gt;</td><td>a&amp;b@example.jp</td></tr>"
              "<tr id=\"&CURL;\"><td>&amp;CURL;</td><td></td></tr>"
              "<tr id=\"S1\"><td></td><td></td></tr>");

    context.response.serials.RemoveAll();
    EXPECT_EQ(std::string(page->BuildSerialStatusList()), "");
}

TEST_F(StatusPageContent, RowTemplatesThatNameTheirOwnListDoNotRecurse)
{
    CTextDef::SetText("A_N08_TMPL_SERIAL", "<tr>&SerialID;&LicenseSerialStatus;</tr>");
    CTextDef::SetText("A_N08_2_TMPL", "<tr>&SerialID;&LicenseSerialStatus;</tr>");
    CTextDef::SetText("A_N08_2_TMPL_NOTUSED", "<tr>&SerialID;</tr>");
    CTextDef::SetText("A_N08_2_IDC_WEBBROWSER", "<table>&LicenseSerialStatus;</table>");
    AddAgreement("SEC", "0", "1");
    AddSerial("S1", 3);
    CStatusDialog* status = Open(new CStatusDialog);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(Html(status), "<table><tr>S1&LicenseSerialStatus;</tr></table>");
    CModifyStatusDialog* modify = Open(new CModifyStatusDialog);
    ASSERT_NE(modify, nullptr);
    EXPECT_EQ(Html(modify), "<table><tr>S1&LicenseSerialStatus;</tr></table>");
}

TEST_F(StatusPageContent, ModifyListSkipsUnregisteredSerialsAndKeepsTheirIndexes)
{
    CTextDef::SetText("A_N08_2_TMPL", "<u &AIndex;:&SerialID;:&NickName;:&利用開始日;>");
    CTextDef::SetText("A_N08_2_TMPL_NOTUSED", "<n &AIndex;:&SerialID;:&NickName;>");
    CTextDef::SetText("A_N08_2_IDC_WEBBROWSER", "<table>&LicenseSerialStatus;</table>");
    AddSerial("S0", 0, "zero");
    AddSerial("S1", 1, "a<b");
    AddSerial("S2", 3, "", "2023-04-01 10:20:30");
    AddSerial("S3", 0);
    AddSerial("S4", 5, "", "");
    AddSerial("S5", 2, "", " 2024-12-31 ");
    AddSerial("S6", 4, "", "2025/01/02");
    CModifyStatusDialog* page = Open(new CModifyStatusDialog);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Html(page), "<table><n 1:S1:a&lt;b><u 2:S2::2023年04月01日><u 4:S4::---><u 5:S5::2024年12月31日>"
                                  "<u 6:S6::2025年01月02日></table>");
}

TEST_F(StatusPageContent, BuiltInDocumentsNameOnlyWhatThePagesResolve)
{
    MakeFeesReady();
    CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3);
    // The operator's definitions supply the row template; the built-in one is empty.
    CTextDef::SetText("A_N08_TMPL_SERIAL", "<tr><td>&NickName;</td><td>&SerialID;</td><td>&SerialStatusText;</td>"
                                           "<td>&SerialStatusActionText;</td></tr>");
    context.customer.BasicSerialCount = 1;
    CStatusDialog* noContract = Open(new CStatusDialog);
    ASSERT_NE(noContract, nullptr);
    EXPECT_EQ(UnresolvedNames(Html(noContract)), Strings());

    AddAgreement("SEC", "0", "1");
    AddSerial("S1", 3, "my pc", "2023-04-01");
    AddSerial("S2", 1);
    CStatusDialog* contract = Open(new CStatusDialog);
    ASSERT_NE(contract, nullptr);
    EXPECT_EQ(UnresolvedNames(Html(contract)), Strings());
    for (int id : {IDC_STATIC3, IDC_STATIC4, IDC_STATIC5, IDC_STATIC6, IDC_STATIC8})
        EXPECT_EQ(UnresolvedNames(ItemText(contract, id)), Strings()) << id;

    CModifyStatusDialog* modify = Open(new CModifyStatusDialog);
    ASSERT_NE(modify, nullptr);
    const std::string document = Html(modify);
    EXPECT_EQ(UnresolvedNames(document), Strings());
    EXPECT_NE(document.find("id=\"ag0\""), std::string::npos);
    EXPECT_NE(document.find("id=\"ag1\""), std::string::npos);
}

}  // namespace
