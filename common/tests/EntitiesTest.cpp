#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "CKAVODlg.h"
#include "CTextDef.h"
#include "Entities.h"

namespace {

// Knows a few names (one with a blank, which expansion must never ask for); "&LOOP;" answers with a text that holds an entity itself, "&SPOIL;"
// scribbles on the token and still declines it.
BOOL FixedResolver(void*, CString& token)
{
    if (token == "&CURL;") {
        token = "D";
        return TRUE;
    }
    if (token == "&LOOP;") {
        token = "[&CURL;]";
        return TRUE;
    }
    if (token == "&表;") {
        token = "HYO";
        return TRUE;
    }
    if (token == "&A B;") {
        token = "AB";
        return TRUE;
    }
    if (token == "&EMPTY;") {
        token = "";
        return TRUE;
    }
    if (token == "&SPOIL;")
        token = "X";
    return FALSE;
}

struct ExpandCase {
    const char* text;
    const char* expected;
};

class EntityExpansion : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(EntityExpansion, ReplacesOnlyResolvedTokens)
{
    EXPECT_STREQ(ExpandEntityText(GetParam().text, FixedResolver, nullptr), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Entities, EntityExpansion, ::testing::Values(
    ExpandCase{"x &CURL; y", "x D y"},
    ExpandCase{"x &EMPTY; y", "x  y"},
    ExpandCase{"&CURL;", "D"},
    ExpandCase{"", ""},
    // Blanks: no entity, and scanning resumes after that ";".
    ExpandCase{"a & b;c", "a & b;c"},
    ExpandCase{"&A B;", "&A B;"},
    ExpandCase{"a & b;&CURL;", "a & b;D"},
    ExpandCase{"&a\tb;&a\rb;&a\nb;", "&a\tb;&a\rb;&a\nb;"},
    ExpandCase{"& &CURL;; &CURL;", "& &CURL;; D"},
    // Unknown names, including case variants, stay as they are.
    ExpandCase{"&NOPE; &CURL;", "&NOPE; D"},
    ExpandCase{"&curl;", "&curl;"},
    ExpandCase{"&SPOIL;", "&SPOIL;"},
    ExpandCase{"&;", "&;"},
    // A value is never scanned again.
    ExpandCase{"&LOOP;", "[&CURL;]"},
    ExpandCase{"&LOOP;&CURL;", "[&CURL;]D"},
    // The token runs from the first "&" to the next ";".
    ExpandCase{"&a&CURL;", "&a&CURL;"},
    ExpandCase{"&&CURL;", "&&CURL;"},
    ExpandCase{"&CURL;&CURL;", "DD"},
    ExpandCase{"&CURL;;;&CURL;", "D;;D"},
    // An "&" without a later ";" ends the expansion.
    ExpandCase{"R&D", "R&D"},
    ExpandCase{"&CURL; R&D", "D R&D"},
    ExpandCase{"&CURL R&D", "&CURL R&D"},
    // Double-byte text: "表" and "ソ" end in 0x5C, "ア" in 0x41.
    ExpandCase{"表&CURL;表", "表D表"},
    ExpandCase{"&表;", "HYO"},
    ExpandCase{"ソ;&CURL;ア", "ソ;Dア"},
    ExpandCase{"&表ソ; &CURL;", "&表ソ; D"},
    // A lead byte before "&" that cannot pair with it leaves the "&" as markup.
    ExpandCase{"\x95&CURL;", "\x95" "D"}));

TEST(EntityExpansion, NullTextOrResolverChangesNothing)
{
    EXPECT_STREQ(ExpandEntityText(nullptr, FixedResolver, nullptr), "");
    EXPECT_STREQ(ExpandEntityText("a &CURL; b", nullptr, nullptr), "a &CURL; b");
}

TEST(EntityExpansion, ResolverGetsEachTokenWholeWithItsContext)
{
    struct Seen {
        CString tokens;
    } seen;
    const EntityResolver record = [](void* context, CString& token) {
        static_cast<Seen*>(context)->tokens += token + "|";
        return FALSE;
    };
    ExpandEntityText("&A; & b; 表&表;&c&d; R&D", record, &seen);
    EXPECT_STREQ(seen.tokens, "&A;|&表;|&c&d;|");
}

const char kModule[] = "C:\\キット\\表\\kavocore.dll";

struct StandardCase {
    const char* token;
    const char* moduleFileName;
    const char* expected;
};

class EntityStandardNames : public ::testing::TestWithParam<StandardCase> {};

TEST_P(EntityStandardNames, ResolvesPathsBesideTheModule)
{
    CString token(GetParam().token);
    EXPECT_TRUE(ResolveStandardEntity(token, "https://d.example/", GetParam().moduleFileName));
    EXPECT_STREQ(token, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Entities, EntityStandardNames, ::testing::Values(
    StandardCase{"&CURL;", kModule, "https://d.example/"},
    StandardCase{"&KAVOCOREDLL;", kModule, "C:\\キット\\表\\kavocore.dll"},
    StandardCase{"&KAVOEXE;", kModule, "C:\\キット\\表\\kavo.exe"},
    StandardCase{"&KAVOCOMPEXE;", kModule, "C:\\キット\\表\\kavocomp.exe"},
    StandardCase{"&KAVOPATH;", kModule, "C:\\キット\\表"},
    StandardCase{"&KAVOPATH;", "C:\\kavo\\表.dll", "C:\\kavo"},
    StandardCase{"&KAVOEXE;", "C:\\kavo\\ソ.dll", "C:\\kavo\\kavo.exe"},
    StandardCase{"&KAVOPATH;", "C:\\kavocore.dll", "C:\\"},
    StandardCase{"&KAVOEXE;", "C:\\kavocore.dll", "C:\\kavo.exe"},
    StandardCase{"&KAVOPATH;", "\\\\srv\\share\\kavocore.dll", "\\\\srv\\share"},
    StandardCase{"&KAVOEXE;", "kavocore.dll", "kavo.exe"}));

TEST(EntityStandardNames, DeclinesOtherNamesUnchanged)
{
    for (const char* name : {"&KAVOPATH", "&kavoexe;", "&KAVOPATH ;", "&URL;", "CURL"}) {
        CString token(name);
        EXPECT_FALSE(ResolveStandardEntity(token, "D", kModule)) << name;
        EXPECT_STREQ(token, name);
    }
    CString token("&CURL;");
    EXPECT_TRUE(ResolveStandardEntity(token, nullptr, kModule));
    EXPECT_STREQ(token, "");
}

// A page that knows one name of its own and leaves the rest to the page template.
struct NamingPage : CKAVODlg<NamingPage, 100> {
    static constexpr const char* kStepLetters = nullptr;
    static constexpr bool kCloseEnabled = true;
    BOOL ResolveEntity(CString& text) override
    {
        if (text == "&PAGE;") {
            text = "P&CURL;";
            return TRUE;
        }
        return CKAVODlgBase::ResolveEntity(text);
    }
};

class EntityPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedUrl = CTextDef::GetDomainUrl();
        CTextDef::SetDomainUrl("https://d.example");
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(AtlGetResourceInstance(), path, MAX_PATH);
        *std::strrchr(path, '\\') = 0;
        m_folder = path;
    }
    void TearDown() override { CTextDef::SetDomainUrl(m_savedUrl); }

    CString m_savedUrl;
    CString m_folder;
    NamingPage m_page;
};

TEST_F(EntityPage, ExpandsThroughThePageAndTheTemplate)
{
    CString text("&PAGE; &CURL;/a &KAVOEXE; &KAVOPATH; &NOPE;");
    m_page.ExpandEntities(text);
    EXPECT_STREQ(text, "P&CURL; https://d.example/a " + m_folder + "\\kavo.exe " + m_folder + " &NOPE;");
}

TEST_F(EntityPage, ExpandedTextOfAKey)
{
    CTextDef::SetText("ENTITIES_TEST_TEXT", "x &CURL; y");
    CString out("stale");
    m_page.GetExpandedText(out, "ENTITIES_TEST_TEXT");
    EXPECT_STREQ(out, "x https://d.example y");

    CTextDef::SetDomainUrl("");
    m_page.GetExpandedText(out, "ENTITIES_TEST_TEXT");
    EXPECT_STREQ(out, "x  y");

    m_page.GetExpandedText(out, "ENTITIES_TEST_MISSING");
    EXPECT_STREQ(out, "");
    EXPECT_TRUE(CTextDef::HasText("ENTITIES_TEST_MISSING"));
}

struct EscapeCase {
    const char* text;
    const char* expected;
};

class EscapeCases : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeCases, EscapesMarkupCharacters)
{
    EXPECT_STREQ(HtmlEscape(GetParam().text), GetParam().expected);
    CString out("stale");
    HtmlEscape(out, GetParam().text);
    EXPECT_STREQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(HtmlEscape, EscapeCases, ::testing::Values(
    EscapeCase{"a<b & \"c\"", "a&lt;b&nbsp;&amp;&nbsp;&quot;c&quot;"},
    EscapeCase{"<>", "&lt;&gt;"},
    EscapeCase{"&lt;", "&amp;lt;"},
    EscapeCase{"it's\ta\r\nb", "it's\ta\r\nb"},
    EscapeCase{"", ""},
    EscapeCase{nullptr, ""},
    // Trail bytes 0x5C, 0x41, 0x5B stay; specials between double-byte characters do not.
    EscapeCase{"表ソアー", "表ソアー"},
    EscapeCase{"表<ソ> \"ア\"&", "表&lt;ソ&gt;&nbsp;&quot;ア&quot;&amp;"},
    // A lead byte that cannot pair with "<" leaves the "<" a markup character.
    EscapeCase{"\x95<b>", "\x95&lt;b&gt;"}));

TEST(HtmlEscapeInPlace, OutMayBeItsOwnSource)
{
    CString text("<表>");
    HtmlEscape(text, text);
    EXPECT_STREQ(text, "&lt;表&gt;");
}

struct AmountCase {
    int amount;
    int taxRate;
    const char* expected;
};

class FormatAmountCases : public ::testing::TestWithParam<AmountCase> {};

TEST_P(FormatAmountCases, GroupsThousandsWithOneDecimal)
{
    EXPECT_STREQ(FormatAmount(GetParam().amount, GetParam().taxRate), GetParam().expected);
    CString out("stale");
    FormatAmount(out, GetParam().amount, GetParam().taxRate);
    EXPECT_STREQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(FormatAmount, FormatAmountCases, ::testing::Values(
    AmountCase{500, 1000, "550"},
    AmountCase{1234, 800, "1,332.7"},
    AmountCase{300, 0, "300"},
    AmountCase{999, 1000, "1,098.9"},
    AmountCase{100, 800, "108"},
    AmountCase{0, 1000, "0"},
    AmountCase{0, 0, "0"},
    AmountCase{999, 0, "999"},
    AmountCase{1000, 0, "1,000"},
    AmountCase{1234567, 0, "1,234,567"},
    AmountCase{123456, 0, "123,456"},
    // Past 195,225 yen at 10 % the taxed tenths leave 32 bits.
    AmountCase{200000, 1000, "220,000"},
    AmountCase{INT_MAX, 1000, "2,362,232,011.7"},
    AmountCase{INT_MAX, 0, "2,147,483,647"},
    // Negative: the sign before the grouped digits, the decimal digit without one.
    AmountCase{-1, 0, "-1"},
    AmountCase{-123, 0, "-123"},
    AmountCase{-1234, 800, "-1,332.7"},
    AmountCase{-500, 1000, "-550"},
    AmountCase{-1, -5000, "-0.5"},
    AmountCase{INT_MIN, 0, "-2,147,483,648"},
    AmountCase{INT_MIN, 1000, "-2,362,232,012.8"},
    AmountCase{INT_MIN, INT_MAX, "-461,170,749,111,638.4"}));

}  // namespace
