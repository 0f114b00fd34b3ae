// The documents of the installation, upgrade and result pages, and the register-client
// page's consent page from the content server.
#include "PageContentBench.h"

#include <windows.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "pages/CInstallFailedDialog.h"
#include "pages/CPostInstallDialog.h"
#include "pages/CPostUpgradeDialog.h"
#include "pages/CPreInstallDialog.h"
#include "pages/CPreUpgradeDialog.h"
#include "pages/CRegClientDialog.h"
#include "pages/CShortAppDialog.h"
#include "pages/CShortDialog.h"
#include "pages/CShortHDDDialog.h"
#include "pages/CUpgradeFailedDialog.h"

namespace {

using ResultPages = PageContentBench;

TEST_F(ResultPages, InstallFailedPageShowsTheDocumentOfTheInstallersCode)
{
    CTextDef::SetText("B_E09_IDC_WEBBROWSER", "failed [&ErrorCode;]");
    CTextDef::SetText("ERR_EXG9998", "not confirmed [&ErrorCode;]");
    CTextDef::SetText("ERR_EXG9999", "installer error [&ErrorCode;]");
    CTextDef::SetText("D_E05_IDC_WEBBROWSER", "upgrade failed [&ErrorCode;]");
    const struct {
        const char* code;
        const char* installHtml;
    } cases[] = {
        {"EXG9998", "not confirmed [EXG9998]"},
        {"EXG9999", "installer error [EXG9999]"},
        {"EXG9998U", "failed [EXG9998U]"},
        {"exg9999", "failed [exg9999]"},
        {"EXG0003", "failed [EXG0003]"},
        // A failure without a code shows as the installer's unknown failure.
        {"", "installer error [EXG9999]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        context.errorCode = c.code;
        CInstallFailedDialog* install = Open(new CInstallFailedDialog);
        ASSERT_NE(install, nullptr);
        EXPECT_EQ(Html(install), c.installHtml);
        ::DestroyWindow(install->m_hWnd);
        // The upgrade's page has one document for every code.
        CUpgradeFailedDialog* upgrade = Open(new CUpgradeFailedDialog);
        ASSERT_NE(upgrade, nullptr);
        EXPECT_EQ(Html(upgrade), std::string("upgrade failed [") + (*c.code ? c.code : "EXG9999") + "]");
        ::DestroyWindow(upgrade->m_hWnd);
    }
}

TEST_F(ResultPages, PostInstallPagesResolveDefinitionKeysExpandedInTheirTurn)
{
    CTextDef::SetDomainUrl("http://127.0.0.1:2");
    const char kDocument[] = "&COMMON_TITLE;|&MESSAGE;|&EMPTY_KEY;|&NO_SUCH_KEY;|&CURL;|&SELF;|&PING;";
    CTextDef::SetText("B_N10_IDC_WEBBROWSER", kDocument);
    CTextDef::SetText("D_N05_IDC_WEBBROWSER", kDocument);
    CTextDef::SetText("MESSAGE", "see &CURL;/guide for &COMMON_TITLE;");
    CTextDef::SetText("EMPTY_KEY", "");
    // Texts that name themselves, directly or through another, keep that token.
    CTextDef::SetText("SELF", "a&SELF;b");
    CTextDef::SetText("PING", "ping(&PONG;)");
    CTextDef::SetText("PONG", "pong(&PING;)");
    const std::string title = CTextDef::GetText("COMMON_TITLE").GetString();
    ASSERT_FALSE(title.empty());
    const std::string expected = title + "|see http://127.0.0.1:2/guide for " + title +
                                 "||&NO_SUCH_KEY;|http://127.0.0.1:2|a&SELF;b|ping(pong(&PING;))";

    CPostInstallDialog* install = Open(new CPostInstallDialog);
    ASSERT_NE(install, nullptr);
    EXPECT_EQ(Html(install), expected);
    // The page stays usable after a cycle: the same token resolves again.
    CString again("&SELF;");
    EXPECT_TRUE(install->ResolveDefinitionEntity(again));
    EXPECT_STREQ(again, "a&SELF;b");
    CString unknown("&NO_SUCH_KEY;");
    EXPECT_FALSE(install->ResolveDefinitionEntity(unknown));
    ::DestroyWindow(install->m_hWnd);

    CPostUpgradeDialog* upgrade = Open(new CPostUpgradeDialog);
    ASSERT_NE(upgrade, nullptr);
    EXPECT_EQ(Html(upgrade), expected);
}

// A name the page does not resolve would show to the customer as it stands. HTML's own
// entities are lower case.
std::string FirstUnresolvedName(const std::string& html)
{
    for (size_t at = html.find('&'); at != std::string::npos; at = html.find('&', at + 1)) {
        size_t end = at + 1;
        while (end < html.size() && (isalnum(static_cast<unsigned char>(html[end])) || html[end] == '_'))
            ++end;
        if (end < html.size() && html[end] == ';' && end > at + 1 && !islower(static_cast<unsigned char>(html[at + 1])))
            return html.substr(at, end - at + 1);
    }
    return "";
}

TEST_F(ResultPages, EveryBuiltInDocumentResolvesAllItsNames)
{
    // As the downloaded definitions leave them: the message keys exist, possibly empty.
    CTextDef::SetText("PRE_UPGRADE_MESSAGE", "");
    CTextDef::SetText("POST_UPGRADE_MESSAGE", "");
    CTextDef::SetText("POST_INSTALL_MESSAGE", "");
    CTextDef::SetDomainUrl("http://127.0.0.1:6");
    context.conflictLists.displayNames.Add(CString("Guard"));
    context.conflictLists.uninstallKeys.Add(CString("guard"));
    const struct {
        const char* name;
        const char* errorCode;
        std::function<CWBDialog*()> make;
    } pages[] = {
        {"CShortDialog", "EXG0001", [] { return static_cast<CWBDialog*>(new CShortDialog); }},
        {"CShortHDDDialog", "EXG0003", [] { return static_cast<CWBDialog*>(new CShortHDDDialog); }},
        {"CShortAppDialog", "EXG0006", [] { return static_cast<CWBDialog*>(new CShortAppDialog); }},
        {"CInstallFailedDialog", "EXG9998", [] { return static_cast<CWBDialog*>(new CInstallFailedDialog); }},
        {"CInstallFailedDialog", "EXG9999", [] { return static_cast<CWBDialog*>(new CInstallFailedDialog); }},
        {"CInstallFailedDialog", "EXG0010", [] { return static_cast<CWBDialog*>(new CInstallFailedDialog); }},
        {"CUpgradeFailedDialog", "EXG0010U", [] { return static_cast<CWBDialog*>(new CUpgradeFailedDialog); }},
        {"CPostInstallDialog", "", [] { return static_cast<CWBDialog*>(new CPostInstallDialog); }},
        {"CPostUpgradeDialog", "", [] { return static_cast<CWBDialog*>(new CPostUpgradeDialog); }},
        {"CPreUpgradeDialog", "", [] { return static_cast<CWBDialog*>(new CPreUpgradeDialog); }},
        {"CPreInstallDialog", "", [] { return static_cast<CWBDialog*>(new CPreInstallDialog); }},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(std::string(p.name) + " " + p.errorCode);
        context.errorCode = p.errorCode;
        CWBDialog* page = Open(p.make());
        ASSERT_NE(page, nullptr);
        const std::string html = Html(page);
        EXPECT_NE(html.find("<html>"), std::string::npos);
        EXPECT_NE(html.find("</body></html>"), std::string::npos);
        EXPECT_EQ(FirstUnresolvedName(html), "");
        if (*p.errorCode) {
            EXPECT_NE(html.find(p.errorCode), std::string::npos);
        }
        ::DestroyWindow(page->m_hWnd);
    }
}

class UpgradeMessage : public ResultPages {
protected:
    void SetUp() override
    {
        ResultPages::SetUp();
        // Only the keys a case defines exist.
        CTextDef::RemoveAll();
        CTextDef::SetText("D_N01_IDC_WEBBROWSER", "[&PRE_UPGRADE_MESSAGE;]");
    }
};

TEST_F(UpgradeMessage, TakesTheMostSpecificKeyTheDefinitionsHave)
{
    const struct {
        const char* installed;
        std::vector<const char*> defined;
        const char* shown;
    } cases[] = {
        {"N_2.1", {"PRE_UPGRADE_MESSAGE_N_2", "PRE_UPGRADE_MESSAGE_N", "PRE_UPGRADE_MESSAGE"}, "PRE_UPGRADE_MESSAGE_N_2"},
        {"N_2.1", {"PRE_UPGRADE_MESSAGE_N_2_1_0_0", "PRE_UPGRADE_MESSAGE_N_2"}, "PRE_UPGRADE_MESSAGE_N_2_1_0_0"},
        {"N_2.1", {"PRE_UPGRADE_MESSAGE_N_2_1_0", "PRE_UPGRADE_MESSAGE_N_2_1"}, "PRE_UPGRADE_MESSAGE_N_2_1_0"},
        {"N_2.1", {"PRE_UPGRADE_MESSAGE_N_2_1", "PRE_UPGRADE_MESSAGE"}, "PRE_UPGRADE_MESSAGE_N_2_1"},
        {"N_2.1", {"PRE_UPGRADE_MESSAGE_N", "PRE_UPGRADE_MESSAGE_M_2"}, "PRE_UPGRADE_MESSAGE_N"},
        {"N_2.1", {"PRE_UPGRADE_MESSAGE", "PRE_UPGRADE_MESSAGE_N_2_2"}, "PRE_UPGRADE_MESSAGE"},
        // The numbers as numbers: "01" is 1; a fifth part is not read; the name ends at the first "_".
        {"KAVO_5.01.3.4.9", {"PRE_UPGRADE_MESSAGE_KAVO_5_1_3_4"}, "PRE_UPGRADE_MESSAGE_KAVO_5_1_3_4"},
        {"KAVO_XG_5.1", {"PRE_UPGRADE_MESSAGE_KAVO_0_1_0_0"}, "PRE_UPGRADE_MESSAGE_KAVO_0_1_0_0"},
        // Without "_" the whole value is the version and the name is empty.
        {"3.2", {"PRE_UPGRADE_MESSAGE__3_2_0_0"}, "PRE_UPGRADE_MESSAGE__3_2_0_0"},
        {"", {"PRE_UPGRADE_MESSAGE__0", "PRE_UPGRADE_MESSAGE"}, "PRE_UPGRADE_MESSAGE__0"},
        // An empty text counts as defined.
        {"N_2.1", {"PRE_UPGRADE_MESSAGE_N_2=", "PRE_UPGRADE_MESSAGE"}, ""},
        // Nothing defined: the token stays.
        {"N_2.1", {"PRE_UPGRADE_MESSAGE_N_3", "PRE_UPGRADE_MESSAGE_2"}, "&PRE_UPGRADE_MESSAGE;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.installed) + " -> " + c.shown);
        for (const char* key : c.defined) {
            std::string name = key;
            std::string text = key;
            if (!name.empty() && name.back() == '=') {
                name.pop_back();
                text.clear();
            }
            CTextDef::SetText(name.c_str(), text.c_str());
        }
        context.SetValue("CT_EXISTS", c.installed);
        CPreUpgradeDialog* page = Open(new CPreUpgradeDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Html(page), std::string("[") + c.shown + "]");
        ::DestroyWindow(page->m_hWnd);
        CTextDef::RemoveAll();
        CTextDef::SetText("D_N01_IDC_WEBBROWSER", "[&PRE_UPGRADE_MESSAGE;]");
    }
}

TEST_F(UpgradeMessage, MessageIsExpandedWithThePagesNames)
{
    CTextDef::SetDomainUrl("http://127.0.0.1:3");
    CTextDef::SetText("PRE_UPGRADE_MESSAGE_N_2", "see &CURL;/v2 &PRE_UPGRADE_MESSAGE;");
    context.SetValue("CT_EXISTS", "N_2.0.0.0");
    CPreUpgradeDialog* page = Open(new CPreUpgradeDialog);
    ASSERT_NE(page, nullptr);
    // A message that names itself keeps that token instead of expanding without end.
    EXPECT_EQ(Html(page), "[see http://127.0.0.1:3/v2 &PRE_UPGRADE_MESSAGE;]");
}

TEST_F(ResultPages, PreInstallPageWritesItsDocument)
{
    CTextDef::SetDomainUrl("http://127.0.0.1:4");
    CTextDef::SetText("B_N08_IDC_WEBBROWSER", "<p>options &CURL;</p>");
    CPreInstallDialog* page = Open(new CPreInstallDialog);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Html(page), "<p>options http://127.0.0.1:4</p>");
}

TEST_F(ResultPages, RegClientPageNavigatesToTheConsentPageOfTheContentServer)
{
    const std::string path = "/contents/security/kavo/agreement/mail_pc_permit_k.html";
    ASSERT_TRUE(Server().Route(path, "<html><body><p>consent</p></body></html>"));
    CTextDef::SetDomainUrl(Server().BaseUrl().c_str());
    CRegClientDialog* page = static_cast<CRegClientDialog*>(CreatePageWindow(new CRegClientDialog, frame, &context));
    ASSERT_NE(page, nullptr);
    // A failure flag left from before is cleared by the new load.
    page->m_navigationFailed = TRUE;
    ASSERT_TRUE(Settle());
    EXPECT_FALSE(page->m_navigationFailed);
    const scripted::Browser view = BrowserOf(page);
    EXPECT_EQ(view.LocationUrl(), Server().Url(path));
    std::vector<std::string> navigation;
    for (const std::string& event : view.Events())
        if (event.rfind("BeforeNavigate2", 0) == 0)
            navigation.push_back(event);
    EXPECT_EQ(navigation, std::vector<std::string>({"BeforeNavigate2 about:blank", "BeforeNavigate2 " + Server().Url(path)}));
    // Nothing is written: the document is the server's.
    EXPECT_TRUE(WrittenDocuments(page).empty());
}

TEST_F(ResultPages, RegClientPageNamesTheRejectedCharacters)
{
    Server().Route("/contents/security/kavo/agreement/mail_pc_permit_k.html", "<p>consent</p>");
    CTextDef::SetDomainUrl(Server().BaseUrl().c_str());
    CRegClientDialog* page = Open(new CRegClientDialog);
    ASSERT_NE(page, nullptr);
    const struct {
        const char* rejected;
        const char* text;
    } cases[] = {{"", "「」"}, {"ｱｲ", "「ｱｲ」"}, {"<&>", "「<&>」"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rejected);
        page->m_errorChars = c.rejected;
        CString text("「&ErrorChar;」");
        page->ExpandEntities(text);
        EXPECT_STREQ(text, c.text);
    }
}

}  // namespace
