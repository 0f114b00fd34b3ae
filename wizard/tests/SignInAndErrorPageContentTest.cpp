// What the sign-in, start, notice and error pages show.
#include "PageContentBench.h"

#include <windows.h>

#include <string>
#include <vector>

#include "CKAVODlg.h"
#include "pages/CErrorDialog.h"
#include "pages/CLoginDialog.h"
#include "pages/CMotdDialog.h"
#include "pages/CStartDialog.h"

namespace {

using Strings = std::vector<std::string>;

const int kSignInControls[] = {IDC_LOGIN, IDC_MASK, IDC_EDIT1, IDC_EDIT2, IDC_CHECK1};

class SignInAndErrorPageContent : public PageContentBench {
protected:
    void SetUp() override
    {
        PageContentBench::SetUp();
        CTextDef::SetText("A_N07_IDC_WEBBROWSER", "<p>sign in &CURL;</p>");
        CTextDef::SetText("A_E07_IDC_WEBBROWSER", "<p>refused &ErrorCode;</p>");
    }
};

TEST_F(SignInAndErrorPageContent, RefusedSignInShowsItsMessageAndLeavesTheFieldsUsable)
{
    context.SetValue("CLoginDialog::InitialState", "ERROR");
    context.response.ResultCode = "9991";
    CLoginDialog* page = new CLoginDialog;
    ASSERT_NE(Open(page), nullptr);
    EXPECT_EQ(Html(page), "<p>refused EWS9991</p>");
    for (int id : kSignInControls)
        EXPECT_TRUE(ItemEnabled(page, id)) << id;
    EXPECT_EQ(std::string(context.GetValue("CLoginDialog::InitialState")), "ERROR");
}

TEST_F(SignInAndErrorPageContent, AnyOtherInitialStateShowsTheSignInTextAndIsForgotten)
{
    struct Case {
        const char* name;
        const char* state;  // null: no entry
    };
    const Case cases[] = {{"no entry", nullptr}, {"empty", ""}, {"other case", "error"}, {"other word", "OK"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        context.values.RemoveAll();
        if (c.state)
            context.SetValue("CLoginDialog::InitialState", c.state);
        CLoginDialog* page = Open(new CLoginDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Html(page), "<p>sign in http://127.0.0.1:9</p>");
        EXPECT_FALSE(context.values.Lookup(CString("CLoginDialog::InitialState")));
        ::DestroyWindow(page->m_hWnd);
    }
}

TEST_F(SignInAndErrorPageContent, ErrorPageShowsTheMessageOfItsCode)
{
    CTextDef::SetText("ERR_IDC_WEBBROWSER", "<h3>&ErrorCode;</h3>&ErrorMessage;<hr>");
    CTextDef::SetText("ERR_EWS0001", "<p>busy &ErrorCode; at &CURL;</p>");
    // A message that names itself is not expanded again.
    CTextDef::SetText("ERR_EXG2001", "<p>&ErrorMessage;</p>");
    struct Case {
        const char* code;
        const char* document;
    };
    const Case cases[] = {
        {"EWS0001", "<h3>EWS0001</h3><p>busy EWS0001 at http://127.0.0.1:9</p><hr>"},
        {"EWS0777", "<h3>EWS0777</h3><hr>"},
        {"EXG2001", "<h3>EXG2001</h3><p>&ErrorMessage;</p><hr>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        context.errorCode = c.code;
        CErrorDialog* page = new CErrorDialog;
        page->m_pageCode = c.code;
        ASSERT_NE(Open(page), nullptr);
        EXPECT_EQ(Html(page), c.document);
        ::DestroyWindow(page->m_hWnd);
    }
}

TEST_F(SignInAndErrorPageContent, NoticeIsShownAsTheOperatorWroteIt)
{
    struct Case {
        const char* name;
        const char* body;  // null: no entry
        const char* document;
    };
    const Case cases[] = {
        {"body with names", "<p>&CURL; &CustomerName; 保守のお知らせ</p>", "<p>&CURL; &CustomerName; 保守のお知らせ</p>"},
        {"no body", nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        context.values.RemoveAll();
        if (c.body)
            context.SetValue("OPS_MOTD", c.body);
        CMotdDialog* page = Open(new CMotdDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Html(page), c.document);
        ::DestroyWindow(page->m_hWnd);
    }
}

TEST_F(SignInAndErrorPageContent, StartPageShowsItsExpandedText)
{
    CTextDef::SetText("B_N01_IDC_WEBBROWSER", "<p>steps &CURL;|&ErrorCode;</p>");
    CStartDialog* page = Open(new CStartDialog);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Html(page), "<p>steps http://127.0.0.1:9|&ErrorCode;</p>");
}

TEST_F(SignInAndErrorPageContent, BuiltInDocumentsNameOnlyWhatThePagesResolve)
{
    CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3);
    context.response.ResultCode = "0002";
    for (const char* state : {"", "ERROR"}) {
        SCOPED_TRACE(state);
        context.SetValue("CLoginDialog::InitialState", state);
        CLoginDialog* page = Open(new CLoginDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(UnresolvedNames(Html(page)), Strings());
        ::DestroyWindow(page->m_hWnd);
    }
    CStartDialog* start = Open(new CStartDialog);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(UnresolvedNames(Html(start)), Strings());

    context.errorCode = "EWS0001";
    CErrorDialog* error = new CErrorDialog;
    error->m_pageCode = "EWS0001";
    ASSERT_NE(Open(error), nullptr);
    EXPECT_EQ(UnresolvedNames(Html(error)), Strings());
}

}  // namespace
