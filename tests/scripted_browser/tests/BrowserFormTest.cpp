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
    EXPECT_EQ(page->postDataShape, VT_BYREF | VT_VARIANT);
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
    EXPECT_EQ(page->postDataShape, VT_BYREF | VT_VARIANT);
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
    // A user's click: NWMF_USERINITED | NWMF_FIRST.
    EXPECT_EQ(page->calls, Strings({"NewWindow3 http://127.0.0.1:1/guide.html from about:blank flags 6",
                                    "NewWindow3 http://127.0.0.1:1/f?pos.x=1&pos.y=1 from about:blank flags 6",
                                    "BeforeNavigate2 next.html 0"}));
}

TEST_F(BrowserTest, CommandsSentToTheWindowActAsTheUserDoes)
{
    // The commands arrive at the "Shell Embedding" window, so the browser must be in place.
    HWND parent = nullptr;
    OpenInPlace(&parent);
    ASSERT_NE(parent, nullptr);
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

    CComPtr<IOleObject> object;
    ASSERT_EQ(browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
    object->Close(OLECLOSE_NOSAVE);
    EXPECT_EQ(view.Window(), nullptr);
    object.Release();
    DestroyWindow(parent);
}

namespace {

// The status page's shape: one form per row, a hidden serial and an image "pos" in each.
const char kRows[] =
    "<form method=get action=\"http://dummy/cmd\"><input type=hidden name=SerialID value=A1>"
    "<input type=image name=pos></form>"
    "<form method=get action=\"http://dummy/cmd\"><input type=hidden name=SerialID value=B2>"
    "<input type=image name=pos disabled></form>"
    "<form method=get action=\"http://dummy/cmd\"><input type=hidden name=SerialID value=C3>"
    "<input type=image name=pos></form>"
    "<form method=post action=\"http://dummy/post\"><input type=checkbox name=opt value=on>"
    "<input type=radio name=r value=1 checked><input type=radio name=r value=2>"
    "<select name=plan><option value=p1>月額<option value=p2>年額</select>"
    "<select name=locked disabled><option value=a>a<option value=b>b</select>"
    "<input name=nick value=old><input name=ro readonly value=r><textarea name=memo>初期</textarea>"
    "<button type=reset name=clear>元に戻す</button><button type=button name=nothing>x</button>"
    "<button name=send value=1>送信</button></form>";

}  // namespace

TEST_F(BrowserTest, PressingByIndexOrByARowsHiddenFieldSubmitsThatRowsForm)
{
    OpenBlank();
    Write(kRows);
    ASSERT_TRUE(PumpUntilIdle(5000));
    page->calls.clear();
    page->cancelNavigation = true;

    // The index counts every "pos" in document order, the disabled one too.
    EXPECT_TRUE(view.Press("pos", 2));
    EXPECT_FALSE(view.Press("pos", 1));
    EXPECT_FALSE(view.Press("pos", 3));
    EXPECT_TRUE(view.PressIn("SerialID", "A1", "pos"));
    EXPECT_FALSE(view.PressIn("SerialID", "B2", "pos"));
    EXPECT_FALSE(view.PressIn("SerialID", "Z9", "pos"));
    EXPECT_FALSE(view.Press("nick", 0));  // a text field is not pressed
    EXPECT_EQ(page->calls, Strings({"BeforeNavigate2 http://dummy/cmd?SerialID=C3&pos.x=1&pos.y=1 0",
                                    "BeforeNavigate2 http://dummy/cmd?SerialID=A1&pos.x=1&pos.y=1 0"}));
}

TEST_F(BrowserTest, UserChangesToControlsFireCommandStateChangeAndAreSubmitted)
{
    OpenBlank();
    Write(kRows);
    ASSERT_TRUE(PumpUntilIdle(5000));
    page->calls.clear();
    page->cancelNavigation = true;

    EXPECT_TRUE(view.Press("opt", 0));  // a checkbox toggles
    EXPECT_TRUE(view.IsChecked("opt"));
    EXPECT_TRUE(view.Press("r", 1));  // a radio is chosen, its group cleared
    EXPECT_TRUE(view.Select("plan", "p2"));
    EXPECT_FALSE(view.Select("plan", "p9"));
    EXPECT_FALSE(view.Select("locked", "b"));
    EXPECT_FALSE(view.Select("nick", "x"));
    EXPECT_TRUE(view.Type("nick", "新しい 名前"));
    EXPECT_TRUE(view.Type("memo", "一行\n二行"));
    EXPECT_FALSE(view.Type("ro", "x"));
    EXPECT_FALSE(view.Type("opt", "x"));
    EXPECT_EQ(view.Value("plan"), "p2");
    EXPECT_EQ(view.Value("memo"), "一行\n二行");
    EXPECT_EQ(page->calls, Strings(5, "CommandStateChange -1 -1"));

    page->calls.clear();
    EXPECT_TRUE(view.Press("nothing", 0));  // a plain button: nothing happens
    EXPECT_TRUE(page->calls.empty());
    ASSERT_TRUE(view.Press("send", 0));
    ASSERT_EQ(page->calls.size(), 1u);
    EXPECT_EQ(page->calls[0], "BeforeNavigate2 http://dummy/post 0");
    EXPECT_EQ(page->lastPostData,
              "opt=on&r=2&plan=p2&nick=%90V%82%B5%82%A2+%96%BC%91O&ro=r&memo=%88%EA%8Ds%0D%0A%93%F1%8Ds&send=1");

    // A reset button puts the form back as the document gave it.
    page->calls.clear();
    EXPECT_TRUE(view.Press("clear", 0));
    EXPECT_EQ(page->calls, Strings({"CommandStateChange -1 -1"}));
    EXPECT_FALSE(view.IsChecked("opt"));
    EXPECT_EQ(view.Value("plan"), "p1");
    EXPECT_EQ(view.Value("nick"), "old");
    EXPECT_EQ(view.Value("memo"), "初期");
}

TEST_F(BrowserTest, PageCodeSeesSelectsTextAreasAndButtonsThroughTheirInterfaces)
{
    OpenBlank();
    Write(kRows);
    ASSERT_TRUE(PumpUntilIdle(5000));
    CComPtr<IHTMLDocument2> document = Document();
    CComPtr<IHTMLElementCollection> all;
    ASSERT_EQ(document->get_all(&all), S_OK);
    auto item = [&](const wchar_t* name) {
        CComPtr<IDispatch> found;
        all->item(CComVariant(name), CComVariant(), &found);
        return found;
    };

    CComPtr<IHTMLSelectElement> plan;
    ASSERT_EQ(item(L"plan")->QueryInterface(__uuidof(IHTMLSelectElement), reinterpret_cast<void**>(&plan)), S_OK);
    CComBSTR type, value;
    LONG index = -2, length = 0;
    EXPECT_EQ(plan->get_type(&type), S_OK);
    EXPECT_EQ(BstrBytes(type), "select-one");
    EXPECT_EQ(plan->get_length(&length), S_OK);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(plan->get_selectedIndex(&index), S_OK);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(plan->put_selectedIndex(1), S_OK);
    EXPECT_EQ(view.Value("plan"), "p2");
    EXPECT_EQ(plan->put_value(CComBSTR(L"p1")), S_OK);
    EXPECT_EQ(plan->get_value(&value), S_OK);
    EXPECT_EQ(BstrBytes(value), "p1");

    CComPtr<IHTMLTextAreaElement> memo;
    ASSERT_EQ(item(L"memo")->QueryInterface(__uuidof(IHTMLTextAreaElement), reinterpret_cast<void**>(&memo)), S_OK);
    CComBSTR text;
    EXPECT_EQ(memo->get_value(&text), S_OK);
    EXPECT_EQ(BstrBytes(text), "初期");
    EXPECT_EQ(memo->put_value(CComBSTR(L"x")), S_OK);
    EXPECT_EQ(view.Value("memo"), "x");

    CComPtr<IHTMLButtonElement> send;
    ASSERT_EQ(item(L"send")->QueryInterface(__uuidof(IHTMLButtonElement), reinterpret_cast<void**>(&send)), S_OK);
    CComBSTR buttonType;
    EXPECT_EQ(send->get_type(&buttonType), S_OK);
    EXPECT_EQ(BstrBytes(buttonType), "submit");
    EXPECT_EQ(send->put_disabled(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(view.IsDisabled("send"));
    EXPECT_FALSE(view.Press("send", 0));

    CComPtr<IHTMLInputElement> notInput;
    EXPECT_EQ(item(L"memo")->QueryInterface(__uuidof(IHTMLInputElement), reinterpret_cast<void**>(&notInput)),
              E_NOINTERFACE);
}

TEST_F(BrowserTest, PressSelectAndTypeCommandsActAsTheUserDoes)
{
    HWND parent = nullptr;
    OpenInPlace(&parent);
    ASSERT_NE(parent, nullptr);
    Write(kRows);
    ASSERT_TRUE(PumpUntilIdle(5000));
    page->calls.clear();
    page->cancelNavigation = true;

    HWND shell = view.Window();
    const struct {
        const char* command;
        bool taken;
    } commands[] = {
        {"press pos 2", true},
        {"press pos 1", false},  // disabled
        {"press pos x", false},
        {"press pos", false},
        {"pressin SerialID=A1 pos", true},
        {"pressin SerialID=Z9 pos", false},
        {"pressin SerialID pos", false},
        {"select plan p2", true},
        {"select plan p9", false},
        {"type nick 山田 太郎", true},
        {"type memo", true},
        {"type ro x", false},
    };
    for (const auto& c : commands)
        EXPECT_EQ(scripted::SendCommand(shell, c.command), c.taken) << c.command;
    EXPECT_EQ(view.Value("plan"), "p2");
    EXPECT_EQ(view.Value("nick"), "山田 太郎");
    EXPECT_EQ(view.Value("memo"), "");
    // State changes come at once; the submissions only from the message loop.
    EXPECT_EQ(page->calls, Strings(3, "CommandStateChange -1 -1"));
    ASSERT_TRUE(PumpUntilIdle(5000));
    EXPECT_EQ(page->calls, Strings({"CommandStateChange -1 -1", "CommandStateChange -1 -1", "CommandStateChange -1 -1",
                                    "BeforeNavigate2 http://dummy/cmd?SerialID=C3&pos.x=1&pos.y=1 0",
                                    "BeforeNavigate2 http://dummy/cmd?SerialID=A1&pos.x=1&pos.y=1 0"}));

    CComPtr<IOleObject> object;
    ASSERT_EQ(browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
    object->Close(OLECLOSE_NOSAVE);
    object.Release();
    DestroyWindow(parent);
}
