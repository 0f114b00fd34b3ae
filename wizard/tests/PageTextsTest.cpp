#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "CAxHost.h"
#include "CFontCache.h"
#include "CKAVODlg.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "PageFactory.h"
#include "StepBar.h"
#include "pages/CExternalEULADialog.h"
#include "resource.h"
#include "PageBench.h"

namespace {

void LoadBuiltInText()
{
    ASSERT_TRUE(CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3));
}

CString ControlText(HWND page, int control)
{
    char buffer[1024] = {};
    ::GetDlgItemTextA(page, control, buffer, sizeof buffer);
    return CString(buffer);
}

struct TextCase {
    const char* page;
    int control;
    const char* key;
};

// Keys whose built-in texts hold no entity, so the shown text is the stored one.
const TextCase kTexts[] = {
    {"CLoginDialog", IDC_STATIC1, "A_N07_IDC_STATIC1"},
    {"CLoginDialog", IDC_STATIC6, "A_N07_IDC_STATIC6"},
    {"CLoginDialog", IDC_LOGIN, "A_N07_IDC_LOGIN"},
    {"CLoginDialog", IDC_CHECK1, "A_N07_IDC_CHECK1"},
    {"CLoginDialog", IDC_MASK, "A_N07_IDC_MASK"},
    {"CStatusDialog", IDC_STATIC1, "A_N08_IDC_STATIC1"},
    {"CStatusDialog", IDC_ADD, "A_N08_IDC_ADD"},
    {"CStatusDialog", IDC_SHOWEULA, "A_N08_IDC_SHOWEULA"},
    {"CStatusDialog", IDC_REFRESH, "A_N08_IDC_REFRESH"},
    {"CModifyStatusDialog", IDC_STATIC1, "A_N08_IDC_STATIC1"},
    {"CModifyStatusDialog", IDC_STATIC10, "A_N08_2_IDC_STATIC10"},
    {"CModifyStatusDialog", IDC_DEL, "A_N08_2_IDC_DEL"},
    {"CModifyStatusDialog", IDC_BACK, "A_N08_2_IDC_BACK"},
    {"CStartDialog", IDC_STATIC2, "B_N01_IDC_STATIC2"},
    {"CStartDialog", IDC_NEXT, "B_N01_IDC_NEXT"},
    {"CStartDialog", IDC_BACK, "B_N01_IDC_BACK"},
    {"CCheckComputerDialog", IDC_START, "B_N02_IDC_START"},
    {"CCheckComputerDialog", IDC_STATIC1, "B_N02_IDC_STATIC1"},
    {"CCheckComputerDialog", IDC_STATIC12, "B_N02_IDC_STATIC12"},
    {"CCheckComputerDialog", IDC_STATIC13, "B_N02_IDC_STATIC13"},
    {"CCheckComputerDialog", IDC_STATIC14, "B_N03_IDC_STATIC14"},
    {"CEULADialog", IDC_STATIC1, "B_N04_IDC_STATIC1"},
    {"CEULADialog", IDC_AGREE, "B_N04_IDC_AGREE"},
    {"CEULADialog", IDC_DISAGREE, "B_N04_IDC_DISAGREE"},
    {"CEULADialog", IDC_REFRESH, "B_N04_IDC_REFRESH"},
    {"CEULADialog", ID_PAGE_CLOSE, "B_N04_IDCLOSE"},
    {"CUpgradeEULADialog", IDC_STATIC2, "D_N03_IDC_STATIC2"},
    {"CUpgradeEULADialog", IDC_AGREE, "D_N03_IDC_AGREE"},
    {"CUpgradeEULADialog", IDC_DISAGREE, "D_N03_IDC_DISAGREE"},
    {"CUpgradeEULADialog", ID_PAGE_CLOSE, "D_N03_IDCLOSE"},
    {"CExternalEULADialog", IDC_STATIC1, "B_N08_1_IDC_STATIC1"},
    {"CExternalEULADialog", IDC_AGREE, "B_N08_1_IDC_AGREE"},
    {"CExternalEULADialog", IDC_DISAGREE, "B_N08_1_IDC_BACK"},
    {"CPreSignupDialog", IDC_STATIC2, "B_N05_IDC_STATIC2_1"},
    {"CPreSignupDialog", IDC_SIGNUP, "B_N05_IDC_SIGNUP"},
    {"CPreSignupDialog", IDCANCEL, "B_N05_IDCANCEL"},
    {"CSignupDialog", IDC_STATIC1, "B_N05_2_IDC_STATIC1"},
    {"CPostSignupDialog", IDC_PRINT, "B_N06_IDC_PRINT"},
    {"CPostSignupDialog", IDC_NEXT, "B_N06_IDC_NEXT"},
    {"CPostSignupDialog", IDC_BACK, "B_N06_IDC_BACK"},
    {"CRegClientDialog", IDC_STATIC3, "B_N07_IDC_STATIC3"},
    {"CRegClientDialog", IDC_STATIC8, "B_N07_IDC_STATIC8"},
    {"CRegClientDialog", IDC_CHECK2, "B_N07_IDC_CHECK2"},
    {"CRegClientDialog", IDC_NEXT, "B_N07_IDC_NEXT"},
    {"CPreInstallDialog", IDC_INSTALL, "B_N08_IDC_INSTALL"},
    {"CPreInstallDialog", IDC_RADIO1, "B_N08_IDC_RADIO1"},
    {"CPreInstallDialog", IDC_RADIO2, "B_N08_IDC_RADIO2"},
    {"CInstallDialog", IDC_STATIC4, "B_N09_IDC_STATIC4_0"},
    {"CInstallDialog", IDC_STATIC10, "B_N09_IDC_STATIC10_0"},
    {"CInstallDialog", IDC_STATIC13, "B_N09_IDC_STATIC13"},
    {"CPostInstallDialog", IDC_CLOSE, "B_N10_IDC_CLOSE"},
    {"CPostUpgradeDialog", IDC_CLOSE, "D_N05_IDCLOSE"},
    {"CPreCancelDialog", IDC_STATIC1, "C_N01_IDC_STATIC1"},
    {"CPreCancelDialog", IDC_STATIC3, "C_N01_IDC_STATIC3"},
    {"CPreCancelDialog", IDC_NEXT, "C_N01_IDC_NEXT"},
    {"CPreCancelDialog", IDC_BACK, "C_N01_IDC_BACK"},
    {"CPostCancelDialog", IDC_STATIC2, "C_N02_IDC_STATIC2"},
    {"CPostCancelDialog", IDC_BACK, "C_N02_IDC_BACK"},
    {"CPostCancelDialog", IDC_END, "C_N02_IDC_END"},
    {"CShortDialog", IDC_STATIC1, "B_E02_2_IDC_STATIC1"},
    {"CShortDialog", IDC_NEXT, "B_E02_2_IDC_NEXT"},
    {"CShortDialog", ID_PAGE_CLOSE, "B_E02_2_IDCLOSE"},
    {"CShortHDDDialog", IDC_STATIC5, "B_E02_HDD_2_IDC_STATIC5"},
    {"CShortHDDDialog", IDC_NEXT, "B_E02_HDD_2_IDC_NEXT"},
    {"CShortHDDDialog", ID_PAGE_CLOSE, "B_E02_HDD_2_IDCLOSE"},
    {"CShortAppDialog", IDC_STATIC4, "B_E02_SOFT_2_IDC_STATIC4"},
    {"CShortAppDialog", IDC_DEL, "B_E02_SOFT_2_IDC_DEL"},
    {"CShortAppDialog", ID_PAGE_CLOSE, "B_E02_SOFT_2_IDCLOSE"},
    {"CUpgradeShortDialog", IDC_STATIC3, "B_E02_2_IDC_STATIC3"},
    {"CUpgradeShortDialog", IDC_NEXT, "B_E02_2_IDC_NEXT"},
    {"CUpgradeShortHDDDialog", IDC_STATIC4, "B_E02_HDD_2_IDC_STATIC4"},
    {"CUpgradeShortHDDDialog", ID_PAGE_CLOSE, "B_E02_HDD_2_IDCLOSE"},
    {"CUpgradeShortAppDialog", IDC_STATIC2, "B_E02_SOFT_2_IDC_STATIC2"},
    {"CUpgradeShortAppDialog", IDC_DEL, "B_E02_SOFT_2_IDC_DEL"},
    {"CInstallFailedDialog", IDC_INSTALL, "B_E09_IDC_INSTALL"},
    {"CInstallFailedDialog", ID_PAGE_CLOSE, "B_E09_IDCLOSE"},
    {"CUpgradeFailedDialog", IDC_INSTALL, "D_E05_IDC_INSTALL"},
    {"CUpgradeFailedDialog", ID_PAGE_CLOSE, "D_E05_IDCLOSE"},
    {"CErrorDialog", ID_PAGE_CLOSE, "ERR_IDCLOSE"},
    {"CErrorDialog", IDC_BACK, "ERR_IDC_BACK"},
    {"CErrorDialog", IDC_RETRY, "ERR_IDC_RETRY"},
    {"CPreUpgradeDialog", IDC_STATIC1, "D_N01_IDC_STATIC1"},
    {"CPreUpgradeDialog", IDC_UPGRADE, "D_N01_IDC_UPGRADE"},
    {"CPreUpgradeDialog", IDCANCEL, "D_N01_IDCANCEL"},
};

class PageTextsTest : public PageBench {
protected:
    void SetUp() override
    {
        LoadBuiltInText();
        PageBench::SetUp();
    }

    void TearDown() override
    {
        PageBench::TearDown();
        // Later suites read the built-in text.
        LoadBuiltInText();
    }

    // The factory makes every page but the option-service licence page, which only other
    // pages open.
    HWND OpenPage(const char* name)
    {
        CWBDialog* page = std::strcmp(name, "CExternalEULADialog") == 0
                              ? CreatePageWindow(new CExternalEULADialog, frame, &context)
                              : CreatePageObject(name, frame, &context);
        return page ? page->m_hWnd : nullptr;
    }

    // Opens each page of kTexts once and checks its rows.
    template <typename Check>
    void ForEachPage(Check check)
    {
        const char* current = nullptr;
        HWND page = nullptr;
        for (const TextCase& c : kTexts) {
            if (!current || std::strcmp(current, c.page) != 0) {
                if (page)
                    ::DestroyWindow(page);
                current = c.page;
                page = OpenPage(c.page);
            }
            SCOPED_TRACE(testing::Message() << c.page << " control " << c.control << " key " << c.key);
            ASSERT_NE(page, nullptr);
            check(page, c);
        }
        if (page)
            ::DestroyWindow(page);
    }
};

// Keys of the upgrade screens that the pages must not take in place of the keys above.
const char* const kOtherScreensKeys[] = {
    "D_E02_2_IDC_STATIC3", "D_E02_2_IDC_NEXT", "D_E02_HDD_2_IDC_STATIC4", "D_E02_HDD_2_IDCLOSE",
    "D_E02_SOFT_2_IDC_STATIC2", "D_E02_SOFT_2_IDC_DEL", "D_N05_IDC_CLOSE", "B_N04_IDC_STATIC2",
};

TEST_F(PageTextsTest, ControlsShowTheBuiltInTextOfTheirKeys)
{
    ForEachPage([](HWND page, const TextCase& c) {
        const CString expected = CTextDef::GetText(c.key);
        EXPECT_FALSE(expected.IsEmpty());
        EXPECT_STREQ(ControlText(page, c.control), expected);
    });
}

// Several screens share captions, so only texts unique to each key tell which key a page read.
TEST_F(PageTextsTest, EachControlReadsItsOwnScreensKey)
{
    for (const TextCase& c : kTexts)
        CTextDef::SetText(c.key, c.key);
    for (const char* key : kOtherScreensKeys)
        CTextDef::SetText(key, key);
    ForEachPage([](HWND page, const TextCase& c) { EXPECT_STREQ(ControlText(page, c.control), c.key); });
}

TEST_F(PageTextsTest, AbsentKeysLeaveTheTemplateCaptionsEmpty)
{
    CTextDef::RemoveAll();
    ForEachPage([](HWND page, const TextCase& c) { EXPECT_STREQ(ControlText(page, c.control), ""); });
}

TEST_F(PageTextsTest, UpgradeLicencePageKeepsItsReloadCaption)
{
    CTextDef::SetText("B_N04_IDC_REFRESH", "B_N04_IDC_REFRESH");
    CTextDef::SetText("D_N03_IDC_REFRESH", "D_N03_IDC_REFRESH");
    HWND page = OpenPage("CUpgradeEULADialog");
    ASSERT_NE(page, nullptr);
    EXPECT_STREQ(ControlText(page, IDC_REFRESH), "再読み込み(&R)");
    ::DestroyWindow(page);
}

TEST_F(PageTextsTest, TextsGoThroughThePagesEntities)
{
    const CString savedUrl = CTextDef::GetDomainUrl();
    CTextDef::SetDomainUrl("http://texts.example");
    CTextDef::SetText("B_N04_IDC_AGREE", "&CURL;/a &NoSuchName; &CURL;");
    HWND page = OpenPage("CEULADialog");
    ASSERT_NE(page, nullptr);
    EXPECT_STREQ(ControlText(page, IDC_AGREE), "http://texts.example/a &NoSuchName; http://texts.example");
    ::DestroyWindow(page);
    CTextDef::SetDomainUrl(savedUrl);
}

struct FontCase {
    const char* page;
    int control;
    const char* description;  // null: the page leaves the template's font
};

const FontCase kFonts[] = {
    {"CLoginDialog", IDC_STATIC1, "12pt"},
    {"CStatusDialog", IDC_STATUSLINE, "9pt"},
    {"CStartDialog", IDC_STATIC1, "14pt"},
    {"CCheckComputerDialog", IDC_STATIC2, "11pt"},
    {"CCheckComputerDialog", IDC_STATIC12, "11pt"},
    {"CCheckComputerDialog", IDC_STATIC3, "9pt,MS Shell Dlg"},
    {"CCheckComputerDialog", IDC_STATIC13, "9pt,MS Shell Dlg"},
    {"CCheckComputerDialog", IDC_STATIC14, "14pt"},
    {"CCheckComputerDialog", IDC_STATIC1, nullptr},
    {"CEULADialog", IDC_STATIC1, "14pt"},
    {"CUpgradeEULADialog", IDC_STATIC1, nullptr},
    {"CExternalEULADialog", IDC_STATIC1, "14pt"},
    {"CExternalEULADialog", IDC_STATIC2, "12pt"},
    {"CPreSignupDialog", IDC_STATIC1, "12pt"},
    {"CSignupDialog", IDC_STATIC1, "14pt"},
    {"COPSProgressDialog", IDC_STATIC1, "14pt"},
    {"CRegClientDialog", IDC_STATIC1, "12pt"},
    {"CPreCancelDialog", IDC_STATIC2, "12pt"},
    {"CPreCancelDialog", IDC_STATIC1, nullptr},
    {"CPostCancelDialog", IDC_STATIC1, "12pt"},
    {"CShortDialog", IDC_STATIC2, "12pt"},
    {"CShortHDDDialog", IDC_STATIC2, "12pt"},
    {"CShortAppDialog", IDC_STATIC2, "12pt"},
    {"CUpgradeShortDialog", IDC_STATIC2, "12pt"},
    {"CUpgradeShortHDDDialog", IDC_STATIC2, "12pt"},
    {"CUpgradeShortAppDialog", IDC_STATIC2, "12pt"},
    {"CPreUpgradeDialog", IDC_STATIC1, "12pt"},
    {"CInstallDialog", IDC_STATIC1, nullptr},
};

TEST_F(PageTextsTest, FontsComeFromTheCache)
{
    for (const FontCase& c : kFonts) {
        SCOPED_TRACE(testing::Message() << c.page << " control " << c.control);
        HWND page = OpenPage(c.page);
        ASSERT_NE(page, nullptr);
        const HFONT shown = reinterpret_cast<HFONT>(::SendDlgItemMessageA(page, c.control, WM_GETFONT, 0, 0));
        if (c.description) {
            const HFONT cached = GlobalFontCache().GetFont(c.description);
            ASSERT_NE(cached, nullptr);
            EXPECT_EQ(shown, cached);
        } else {
            EXPECT_EQ(shown, reinterpret_cast<HFONT>(::SendMessageA(page, WM_GETFONT, 0, 0)));
        }
        ::DestroyWindow(page);
    }
}

}  // namespace
