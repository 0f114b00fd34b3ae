// How the status page reads the fields of a form post out of the address it navigates to.
#include "FormQuery.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<std::string, std::string>> Fields;

// The map's pairs by name, in name order, so that a case compares as one text.
Fields Sorted(const FormCommandParams& params)
{
    Fields fields;
    for (POSITION pos = params.GetStartPosition(); pos;) {
        CString name, value;
        params.GetNextAssoc(pos, name, value);
        fields.emplace_back(name.GetString(), value.GetString());
    }
    std::sort(fields.begin(), fields.end());
    return fields;
}

std::string Describe(const Fields& fields)
{
    std::string text;
    for (const auto& field : fields)
        text += "[" + field.first + "=" + field.second + "]";
    return text;
}

TEST(FormQuery, SplitsTheQueryAndDecodesEachValue)
{
    struct Case {
        const char* url;
        Fields expected;
    };
    const Case kCases[] = {
        {"http://x/form?cmd=a&SerialID=S1", {{"SerialID", "S1"}, {"cmd", "a"}}},
        // The CP932 bytes of a Japanese word arrive as they were sent.
        {"http://x/?cmd=%83C%83%93", {{"cmd", "\x83" "C\x83\x93"}}},
        {"http://x/?v=%E3%e3", {{"v", "\xE3\xE3"}}},
        // A broken escape at the end stops the value before its percent sign.
        {"http://x/?v=ab%E", {{"v", "ab"}}},
        {"http://x/?v=ab%", {{"v", "ab"}}},
        {"http://x/?v=ab%G1cd", {{"v", "ab"}}},
        {"http://x/?v=ab%00cd&w=1", {{"v", "ab"}, {"w", "1"}}},
        // "+" is a blank, an escaped plus sign a plus sign.
        {"http://x/?v=a+b%2Bc", {{"v", "a b+c"}}},
        // What the page escaped as a non-breaking space comes back as a blank.
        {"http://x/?v=my%26nbsp%3BPC&w=%26nbsp;", {{"v", "my PC"}, {"w", " "}}},
        // An unescaped "&" splits the query before any decoding.
        {"http://x/?v=a&nbsp;b", {{"v", "a"}}},
        // Pieces without "=" and empty pieces are passed over; the name ends at the first "=".
        {"http://x/?flag&&v=1=2&", {{"v", "1=2"}}},
        {"http://x/?=empty", {{"", "empty"}}},
        // Only the first "?" starts the query.
        {"http://x/?a=1?b=2", {{"a", "1?b=2"}}},
        // Without "?" the whole address counts as the query.
        {"cmd=a&x=%41", {{"cmd", "a"}, {"x", "A"}}},
        {"about:blank", {}},
        {"", {}},
        {"http://x/?", {}},
        // Names are kept as sent, case and all; a repeated name keeps the last value.
        {"http://x/?Cmd=1&cmd=2&cmd=3", {{"Cmd", "1"}, {"cmd", "3"}}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.url);
        FormCommandParams params;
        params.SetAt(CString("stale"), CString("from before"));
        ParseFormQuery(c.url, params);
        EXPECT_EQ(Describe(Sorted(params)), Describe(c.expected));
    }
}

TEST(FormQuery, NullAddressGivesNoFields)
{
    FormCommandParams params;
    params.SetAt(CString("stale"), CString("x"));
    ParseFormQuery(nullptr, params);
    EXPECT_TRUE(params.IsEmpty());
}

}  // namespace
