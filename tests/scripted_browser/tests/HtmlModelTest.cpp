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

TEST(HtmlModel, DecodesOnlyTheBasicEntitiesInAttributeValues)
{
    const struct {
        const char* raw;
        const char* decoded;
    } cases[] = {
        {"a&amp;b", "a&b"},
        {"&lt;&gt;&quot;", "<>\""},
        {"&#65;&#12354;", "A\x82\xa0"},
        {"x&nbsp;y", "x&nbsp;y"},
        {"&copy;&", "&copy;&"},
        {"&amp", "&amp"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeAttributeValue(c.raw), c.decoded) << c.raw;
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

TEST(Urls, OnlyPlainHttpOnLoopbackIsFetched)
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
        {"https://127.0.0.1/", false},
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
