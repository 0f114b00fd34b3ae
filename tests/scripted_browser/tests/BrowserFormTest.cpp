// A user's actions on a scripted browser's document: ticking boxes, submitting forms and
// clicking links, from the test itself or as commands sent to the browser's window.
#include "BrowserTestSupport.h"

#include "CComBSTR.h"
#include "CComVariant.h"

using scripted::PumpUntilIdle;
using Strings = std::vector<std::string>;

namespace {

const char kBoxes[] =
    "<form><input type=checkbox name=ag0><input type=checkbox name=ag1 disabled>"
    "<input type=checkbox id=ag_all></form>";

CComPtr<IHTMLInputElement> Input(IHTMLDocument2* document, const wchar_t* name)
{
    CComPtr<IHTMLElementCollection> all;
    CComPtr<IDispatch> item;
    CComPtr<IHTMLInputElement> input;
    if (document && SUCCEEDED(document->get_all(&all)) &&
        SUCCEEDED(all->item(CComVariant(name), CComVariant(), &item)) && item)
        item->QueryInterface(__uuidof(IHTMLInputElement), reinterpret_cast<void**>(&input));
    return input;
}

}  // namespace

TEST_F(BrowserTest, TickingABoxActsAsAClickUnlessItIsDisabled)
{
    OpenBlank();
    Write(kBoxes);
    ASSERT_TRUE(PumpUntilIdle(5000));
    page->calls.clear();

    EXPECT_TRUE(view.SetChecked("ag0", true));
    EXPECT_TRUE(view.IsChecked("ag0"));
    EXPECT_EQ(page->calls, Strings({"CommandStateChange -1 -1"}));
    EXPECT_EQ(view.Events().back(), "CommandStateChange -1 1");

    EXPECT_FALSE(view.SetChecked("ag1", true));
    EXPECT_FALSE(view.IsChecked("ag1"));
    EXPECT_TRUE(view.IsDisabled("ag1"));
    EXPECT_FALSE(view.SetChecked("missing", true));
    EXPECT_TRUE(view.SetChecked("ag_all", true));  // found by id
    EXPECT_EQ(page->calls.size(), 2u);
}

TEST_F(BrowserTest, PageCodeSeesAndChangesTheBoxesWithoutEvents)
{
    OpenBlank();
    Write(kBoxes);
    ASSERT_TRUE(PumpUntilIdle(5000));
    page->calls.clear();
    CComPtr<IHTMLDocument2> document = Document();
    CComPtr<IHTMLInputElement> box = Input(document, L"ag0");
    ASSERT_TRUE(box);
    ASSERT_TRUE(view.SetChecked("ag0", true));
    VARIANT_BOOL checked = VARIANT_FALSE;
    EXPECT_EQ(box->get_checked(&checked), S_OK);
    EXPECT_EQ(checked, VARIANT_TRUE);

    EXPECT_EQ(box->put_checked(VARIANT_FALSE), S_OK);
    EXPECT_EQ(box->put_disabled(VARIANT_TRUE), S_OK);
    EXPECT_FALSE(view.IsChecked("ag0"));
    EXPECT_FALSE(view.SetChecked("ag0", true));
    EXPECT_EQ(page->calls.size(), 1u);

    CComBSTR type, name;
    EXPECT_EQ(box->get_type(&type), S_OK);
    EXPECT_EQ(BstrBytes(type), "checkbox");
    EXPECT_EQ(box->get_name(&name), S_OK);
    EXPECT_EQ(BstrBytes(name), "ag0");
    EXPECT_FALSE(Input(document, L"ag9"));

    CComPtr<IHTMLElementCollection> all;
    ASSERT_EQ(document->get_all(&all), S_OK);
    long length = 0;
    EXPECT_EQ(all->get_length(&length), S_OK);
    EXPECT_EQ(length, 4);  // the form and its three inputs
    CComPtr<IDispatch> first;
    ASSERT_EQ(all->item(CComVariant(0L), CComVariant(), &first), S_OK);
    CComPtr<IHTMLElement> form;
    ASSERT_EQ(first->QueryInterface(__uuidof(IHTMLElement), reinterpret_cast<void**>(&form)), S_OK);
    CComBSTR tag;
    form->get_tagName(&tag);
    EXPECT_EQ(BstrBytes(tag), "FORM");
    CComPtr<IHTMLInputElement> notInput;
    EXPECT_EQ(first->QueryInterface(__uuidof(IHTMLInputElement), reinterpret_cast<void**>(&notInput)), E_NOINTERFACE);
}

TEST_F(BrowserTest, SubmittingAGetFormNavigatesToItsEncodedQuery)
{
    OpenBlank();
    Write("<form method=get action=\"http://dummy/cmd\"><input type=hidden name=cmd value=\"再インストール\">"
          "<input type=hidden name=SerialID value=\"A 1&amp;2\"><input type=image name=pos src=b.gif></form>");
    ASSERT_TRUE(PumpUntilIdle(5000));
    page->calls.clear();
    // As the status page does: every form post is cancelled and read from the URL.
    page->cancelNavigation = true;
    ASSERT_TRUE(view.Submit("pos"));
    const std::string url = "http://dummy/cmd?cmd=%8D%C4%83C%83%93%83X%83g%81%5B%83%8B&SerialID=A+1%262&pos.x=1&pos.y=1";
    EXPECT_EQ(page->calls, Strings({"BeforeNavigate2 " + url + " 0"}));
    EXPECT_FALSE(page->lastHadPostData);
    EXPECT_EQ(page->lastHeaders, "");
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_EQ(view.LocationUrl(), "about:blank");
    EXPECT_FALSE(view.Submit("cmd"));
    EXPECT_FALSE(view.Submit("nothing"));
}

TEST_F(BrowserTest, SubmittingAPostFormSendsTheFieldsAsPostData)
{
    OpenBlank();
    Write("<form method=POST action=\"http://dummy/post\"><input name=a value=\"x y\"><input type=submit name=go "
          "value=OK></form>");
    page->cancelNavigation = true;
    ASSERT_TRUE(view.Submit("go"));
    EXPECT_EQ(page->calls.back(), "BeforeNavigate2 http://dummy/post 0");
    EXPECT_TRUE(page->lastHadPostData);
    EXPECT_EQ(page->lastPostData, "a=x+y&go=OK");
    EXPECT_EQ(page->lastHeaders, "Content-Type: application/x-www-form-urlencoded\r\n");
}

TEST_F(BrowserTest, LinksAndFormsForANewWindowAskNewWindow3)
{
    OpenBlank();
    Write("<a href=\"http://127.0.0.1:1/guide.html\" target=\"_blank\">g</a><a href=\"next.html\">n</a>"
          "<form action=\"http://127.0.0.1:1/f\" target=_blank><input type=image name=pos></form>");
    ASSERT_TRUE(PumpUntilIdle(5000));
    page->calls.clear();
    page->cancelNavigation = true;
    EXPECT_TRUE(view.ClickLink("http://127.0.0.1:1/guide.html"));
    EXPECT_TRUE(view.Submit("pos"));
    EXPECT_TRUE(view.ClickLink("next.html"));
    EXPECT_FALSE(view.ClickLink("absent.html"));
    EXPECT_EQ(page->calls, Strings({"NewWindow3 http://127.0.0.1:1/guide.html from about:blank",
                                    "NewWindow3 http://127.0.0.1:1/f?pos.x=1&pos.y=1 from about:blank",
                                    "BeforeNavigate2 next.html 0"}));
}

TEST_F(BrowserTest, CommandsSentToTheWindowActAsTheUserDoes)
{
    // The commands arrive at the "Shell Embedding" window, so the browser must be in place.
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    Open();
    CComPtr<IOleObject> object;
    ASSERT_EQ(browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
    RECT area = {0, 0, 200, 100};
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, parent, &area), S_OK);
    NavigateToBlank(browser);
    ASSERT_TRUE(PumpUntilIdle(5000));
    Write(std::string(kBoxes) + "<form action=\"http://dummy/c\"><input type=image name=pos></form>");
    ASSERT_TRUE(PumpUntilIdle(5000));
    page->calls.clear();
    page->cancelNavigation = true;

    HWND shell = view.Window();
    EXPECT_TRUE(scripted::SendCommand(shell, "check ag0 1"));
    EXPECT_TRUE(view.IsChecked("ag0"));
    EXPECT_FALSE(scripted::SendCommand(shell, "check ag1 1"));
    EXPECT_FALSE(scripted::SendCommand(shell, "check ag0 yes"));
    EXPECT_FALSE(scripted::SendCommand(shell, "submit nothing"));
    EXPECT_FALSE(scripted::SendCommand(shell, "jump somewhere"));
    EXPECT_TRUE(scripted::SendCommand(shell, "submit pos"));
    EXPECT_TRUE(scripted::SendCommand(shell, "navigate about:blank"));
    // Navigations start from the message loop, so the sender never waits on the page.
    EXPECT_EQ(page->calls, Strings({"CommandStateChange -1 -1"}));
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_EQ(page->calls, Strings({"CommandStateChange -1 -1", "BeforeNavigate2 http://dummy/c?pos.x=1&pos.y=1 0",
                                    "BeforeNavigate2 about:blank 0"}));

    object->Close(OLECLOSE_NOSAVE);
    EXPECT_EQ(view.Window(), nullptr);
    object.Release();
    DestroyWindow(parent);
}
