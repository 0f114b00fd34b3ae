// The document model, form encoding and address rules of the scripted browser, without COM.
#include <gtest/gtest.h>

#include <string>

#include "FormSubmission.h"
#include "HtmlModel.h"
#include "Urls.h"

using namespace scripted;

TEST(HtmlModel, ReadsQuotedBareAndBooleanAttributesWithoutCase)
{
    const auto model = HtmlModel::Parse(
        "<HTML><body><FORM Action='http://x/a' METHOD=get><Input TYPE=\"checkbox\" Name=ag0 CHECKED>"
        "<input type=checkbox name='ag1' disabled value=\"v 1\"></form><input name=outside></body>");
    const int first = model->FindInput("ag0");
    const int second = model->FindInput("ag1");
    const int outside = model->FindInput("outside");
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    ASSERT_GE(outside, 0);
    EXPECT_EQ(model->elements[size_t(first)].InputType(), "checkbox");
    EXPECT_TRUE(model->elements[size_t(first)].checked);
    EXPECT_FALSE(model->elements[size_t(first)].disabled);
    EXPECT_TRUE(model->elements[size_t(second)].disabled);
    EXPECT_EQ(model->elements[size_t(second)].value, "v 1");
    EXPECT_EQ(model->elements[size_t(first)].form, 0);
    EXPECT_EQ(model->elements[size_t(outside)].form, -1);
    EXPECT_EQ(model->elements[model->forms[0]].AttributeOr("action"), "http://x/a");
    EXPECT_EQ(model->elements[0].tag, "html");
}

TEST(HtmlModel, SkipsCommentsScriptsAndKeepsCp932TrailBytes)
{
    // 表 ends in the byte of a backslash; comments and script text hold no elements.
    const auto model = HtmlModel::Parse("<!-- <input name=hidden1> --><script>if (a<b) {'<input name=s>'}</SCRIPT>"
                                        "<input name=\"表\" value=\"表示\"><style>p{}</style>");
    ASSERT_EQ(model->elements.size(), 3u);
    EXPECT_EQ(model->elements[0].tag, "script");
    EXPECT_EQ(model->elements[1].AttributeOr("value"), "表示");
    EXPECT_EQ(model->FindInput("表"), 1);
    EXPECT_EQ(model->FindInput("s"), -1);
}

TEST(HtmlModel, DecodesCharacterReferencesAsABrowserDoesIntoCp932)
{
    const struct {
        const char* raw;
        const char* decoded;
    } cases[] = {
        {"a&amp;b", "a&b"},
        {"&lt;&gt;&quot;&apos;", "<>\"'"},
        {"&#65;&#12354;", "A\x82\xa0"},
        {"&#x41;&#X3042;&#x3042;", "A\x82\xa0\x82\xa0"},
        {"&times;", "\x81\x7e"},
        {"&hellip;", "\x81\x63"},
        // No CP932 character for them.
        {"x&nbsp;y", "x?y"},
        {"&copy;&yen;", "??"},
        {"&#128512;&#0;&#x110000;&#99999999999;", "????"},
        // Unknown or unterminated: as written.
        {"&copyx;&", "&copyx;&"},
        {"&amp", "&amp"},
        {"&#;&#x;&#12a;", "&#;&#x;&#12a;"},
        {"&nbsp &amp;", "&nbsp &"},
        // A trail byte that is a letter does not join a reference's name.
        {"&\x83\x41mp;", "&\x83\x41mp;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeCharacterReferences(c.raw), c.decoded) << c.raw;
    const auto model = HtmlModel::Parse("<input name=a value=\"1&times;2&nbsp;\"><textarea name=t>&lt;b&gt;</textarea>"
                                        "<select name=s><option>&yen;&amp;</select>");
    EXPECT_EQ(model->elements[0].value, "1\x81\x7e" "2?");
    EXPECT_EQ(model->elements[1].value, "<b>");
    EXPECT_EQ(model->elements[3].OptionValue(), "?&");
}

TEST(HtmlModel, ReadsButtonsSelectsAndTextAreasWithTheirState)
{
    const auto model = HtmlModel::Parse(
        "<form><button name=b1>Go</button><button type=RESET name=b2></button><button type=odd name=b3>"
        "<select name=one><option value=1>One<option selected value=2> Two  words </option>"
        "<option selected>Three</option></select>"
        "<select name=none><option disabled>x<option>y</select>"
        "<select name=many multiple><option selected>a<option selected>b</select>"
        "<textarea name=memo>\r\n<b>not a tag</b>\nline</textarea><input name=after></form>");
    const int one = model->FindTagged("select", "one");
    ASSERT_GE(one, 0);
    EXPECT_EQ(model->elements[size_t(model->FindClickable("b1", 0))].InputType(), "submit");
    EXPECT_EQ(model->elements[size_t(model->FindClickable("b2", 0))].InputType(), "reset");
    EXPECT_EQ(model->elements[size_t(model->FindClickable("b3", 0))].InputType(), "submit");
    const std::vector<size_t> options = model->OptionsOf(size_t(one));
    ASSERT_EQ(options.size(), 3u);
    EXPECT_EQ(model->elements[options[1]].text, "Two words");
    EXPECT_EQ(model->elements[options[2]].OptionValue(), "Three");
    // One choice in a single select: the last marked option; with none, the first enabled one.
    EXPECT_EQ(model->SelectedOption(size_t(one)), int(options[2]));
    const int none = model->FindTagged("select", "none");
    EXPECT_EQ(model->elements[size_t(model->SelectedOption(size_t(none)))].text, "y");
    const int many = model->FindTagged("select", "many");
    int chosen = 0;
    for (size_t option : model->OptionsOf(size_t(many)))
        chosen += model->elements[option].selected ? 1 : 0;
    EXPECT_EQ(chosen, 2);
    // A text area's text is raw: no element inside it, the first line break dropped.
    const int memo = model->FindTypable("memo");
    ASSERT_GE(memo, 0);
    EXPECT_EQ(model->elements[size_t(memo)].value, "<b>not a tag</b>\nline");
    EXPECT_EQ(model->FindTagged("b", "x"), -1);
    EXPECT_EQ(model->elements[size_t(model->FindInput("after"))].form, 0);

    EXPECT_FALSE(model->SelectValue(size_t(none), "x"));  // disabled option
    EXPECT_FALSE(model->SelectValue(size_t(one), "9"));
    EXPECT_TRUE(model->SelectValue(size_t(one), "1"));
    EXPECT_EQ(model->SelectedOption(size_t(one)), int(options[0]));
    model->elements[size_t(memo)].value = "typed";
    model->ResetForm(0);
    EXPECT_EQ(model->SelectedOption(size_t(one)), int(options[2]));
    EXPECT_EQ(model->elements[size_t(memo)].value, "<b>not a tag</b>\nline");
}

TEST(HtmlModel, FindsClickablesByIndexOrByAHiddenFieldOfTheirForm)
{
    // As the status page lists its rows: each row a form with a hidden serial and an image "pos".
    const auto model = HtmlModel::Parse(
        "<input type=hidden name=pos value=not-clickable>"
        "<form><input type=hidden name=SerialID value=A1><input type=image name=pos></form>"
        "<form><input type=hidden name=SerialID value=B2><input type=image name=pos>"
        "<input type=checkbox name=pos></form>"
        "<form><input type=hidden name=SerialID value=C3><input type=text name=pos><button name=pos>x</button></form>");
    const int first = model->FindClickable("pos", 0);
    const int second = model->FindClickable("pos", 1);
    const int third = model->FindClickable("pos", 2);
    const int fourth = model->FindClickable("pos", 3);
    ASSERT_GE(first, 0);
    EXPECT_EQ(model->elements[size_t(first)].form, 0);
    EXPECT_EQ(model->elements[size_t(second)].form, 1);
    EXPECT_EQ(model->elements[size_t(third)].InputType(), "checkbox");
    EXPECT_EQ(model->elements[size_t(fourth)].tag, "button");
    EXPECT_EQ(model->FindClickable("pos", 4), -1);
    EXPECT_EQ(model->FindClickableIn("SerialID", "B2", "pos"), second);
    EXPECT_EQ(model->FindClickableIn("SerialID", "C3", "pos"), fourth);
    EXPECT_EQ(model->FindClickableIn("SerialID", "Z9", "pos"), -1);
    EXPECT_EQ(model->FindClickableIn("serialid", "A1", "pos"), -1);
}

TEST(FormSubmission, EncodesBytesAsTheyAre)
{
    EXPECT_EQ(FormUrlEncode("aZ09-_.*"), "aZ09-_.*");
    EXPECT_EQ(FormUrlEncode("a b+c&d=e/~"), "a+b%2Bc%26d%3De%2F%7E");
    EXPECT_EQ(FormUrlEncode("開始表"), "%8AJ%8En%95%5C");
}

TEST(FormSubmission, GetSendsTheSuccessfulFieldsInDocumentOrderWithTheClickedImage)
{
    const auto model = HtmlModel::Parse(
        "<form action=\"http://127.0.0.1/cmd?old=1\" method=\"get\" target=\"_self\">"
        "<input type=hidden name=cmd value=\"インストール開始\">"
        "<input type=text name=NickName value=\"a b\">"
        "<input type=checkbox name=c1 checked><input type=checkbox name=c2 value=x>"
        "<input type=radio name=r value=2 checked><input type=hidden name=off value=1 disabled>"
        "<input type=image name=pos src=x.gif><input type=image name=other>"
        "<input type=submit name=go value=Go></form>"
        "<form action=/second><input type=hidden name=z value=1><input type=submit name=s value=\"O K\"></form>");
    FormSubmission sent;
    ASSERT_TRUE(BuildSubmission(*model, size_t(model->FindInput("pos")), "http://127.0.0.1:9/page", &sent));
    EXPECT_FALSE(sent.post);
    EXPECT_EQ(sent.target, "_self");
    EXPECT_EQ(sent.url, "http://127.0.0.1/cmd?cmd=%83C%83%93%83X%83g%81%5B%83%8B%8AJ%8En&NickName=a+b&c1=on&r=2"
                        "&pos.x=1&pos.y=1");

    ASSERT_TRUE(BuildSubmission(*model, size_t(model->FindInput("s")), "http://127.0.0.1:9/dir/page", &sent));
    EXPECT_EQ(sent.url, "http://127.0.0.1:9/second?z=1&s=O+K");
    EXPECT_FALSE(BuildSubmission(*model, size_t(model->FindInput("cmd")), "", &sent));
}

TEST(FormSubmission, ButtonsSelectsAndTextAreasAreSentAsABrowserSendsThem)
{
    const auto model = HtmlModel::Parse(
        "<form action=\"http://127.0.0.1/f\"><select name=plan><option value=p1>A<option value=p2 selected>B</select>"
        "<select name=tags multiple><option selected>x y<option>z<option selected disabled>w</select>"
        "<select><option selected>nameless</select><select name=empty></select>"
        "<textarea name=memo>一行目\n二行目\r三</textarea><textarea name=off disabled>x</textarea>"
        "<button name=go value=\"実行\">実行</button><button type=button name=b value=1>b</button>"
        "<button name=other value=2>o</button></form>");
    FormSubmission sent;
    ASSERT_TRUE(BuildSubmission(*model, size_t(model->FindClickable("go", 0)), "", &sent));
    EXPECT_EQ(sent.url, "http://127.0.0.1/f?plan=p2&tags=x+y&memo=%88%EA%8Ds%96%DA%0D%0A%93%F1%8Ds%96%DA%0D%0A%8EO"
                        "&go=%8E%C0%8Ds");
    EXPECT_FALSE(BuildSubmission(*model, size_t(model->FindClickable("b", 0)), "", &sent));
}

TEST(FormSubmission, PostKeepsTheFieldsForTheBody)
{
    const auto model = HtmlModel::Parse("<form method=POST action=\"go\"><input name=a value=\"1 2\">"
                                        "<input type=image name=pos></form>");
    FormSubmission sent;
    ASSERT_TRUE(BuildSubmission(*model, size_t(model->FindInput("pos")), "http://localhost:8/x/y", &sent));
    EXPECT_TRUE(sent.post);
    EXPECT_EQ(sent.url, "http://localhost:8/x/go");
    EXPECT_EQ(sent.body, "a=1+2&pos.x=1&pos.y=1");
}

TEST(Urls, OnlyHttpAndHttpsOnLoopbackAreFetched)
{
    const struct {
        const char* url;
        bool loopback;
    } cases[] = {
        {"http://127.0.0.1:8080/a?b=1", true},
        {"HTTP://localhost/", true},
        {"http://127.1.2.3", true},
        {"http://127.0.0.1.example.com/", false},
        {"http://128.0.0.1/", false},
        {"http://example.com/", false},
        {"http://user@127.0.0.1/", false},
        {"https://127.0.0.1/", true},
        {"HTTPS://localhost:8443/x", true},
        {"https://example.com/", false},
        {"file:///c:/x", false},
        {"http://127.0.0.1:99999/", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseLoopbackUrl(c.url, nullptr), c.loopback) << c.url;
    LoopbackUrl parts;
    ASSERT_TRUE(ParseLoopbackUrl("http://127.0.0.1:8080?q=1#frag", &parts));
    EXPECT_EQ(parts.host, "127.0.0.1");
    EXPECT_EQ(parts.port, 8080);
    EXPECT_EQ(parts.pathAndQuery, "/?q=1");
    EXPECT_FALSE(parts.secure);
    ASSERT_TRUE(ParseLoopbackUrl("https://127.0.0.1/a", &parts));
    EXPECT_TRUE(parts.secure);
    EXPECT_EQ(parts.port, 443);
}

TEST(Urls, ResolvesReferencesAgainstTheDocument)
{
    const char base[] = "http://127.0.0.1:5/dir/page.html?x=1";
    EXPECT_EQ(ResolveUrl(base, "other.html"), "http://127.0.0.1:5/dir/other.html");
    EXPECT_EQ(ResolveUrl(base, "/root"), "http://127.0.0.1:5/root");
    EXPECT_EQ(ResolveUrl(base, "?y=2"), "http://127.0.0.1:5/dir/page.html?y=2");
    EXPECT_EQ(ResolveUrl(base, "https://x/"), "https://x/");
    EXPECT_EQ(ResolveUrl(base, ""), base);
    EXPECT_EQ(ResolveUrl("about:blank", "dummy.html"), "dummy.html");
}
