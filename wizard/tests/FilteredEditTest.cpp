// The filtered edit fields and the icon lock, attached to real windows.
#include "controls/CByteLimitEdit.h"
#include "controls/CCustomerIdEdit.h"
#include "controls/CIconLocker.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <ostream>
#include <string>

#include "PageBench.h"

namespace {

// CP932 bytes of the double-byte characters the cases use. The trail bytes of "ａ" (0x81)
// and "ん" (0xF1) have lead-byte values.
const std::string kA = "\x82\xA0";       // あ
const std::string kI = "\x82\xA2";       // い
const std::string kWideA = "\x82\x81";   // ａ
const std::string kN = "\x82\xF1";       // ん

std::string Repeat(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::string TextOf(HWND window)
{
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// Puts text on the clipboard as CF_TEXT; null: the clipboard holds nothing.
void SetClipboard(HWND owner, const char* text)
{
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    if (text) {
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
        std::memcpy(::GlobalLock(memory), text, std::strlen(text) + 1);
        ::GlobalUnlock(memory);
        ::SetClipboardData(CF_TEXT, memory);
    }
    ::CloseClipboard();
}

// What reaches the edit below a filter: the bytes of every WM_CHAR that got through. A
// double-byte character goes into the edit whole once its trail byte arrives, because the
// edit garbles the two halves typed one by one.
struct BelowFilter {
    static std::string passed;
    static WNDPROC editProc;
    static BYTE lead;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_CHAR) {
            passed += char(wParam);
            if (lead) {
                const char pair[3] = {char(lead), char(wParam), 0};
                lead = 0;
                return ::CallWindowProcA(editProc, window, EM_REPLACESEL, FALSE, LPARAM(pair));
            }
            if (::IsDBCSLeadByte(BYTE(wParam))) {
                lead = BYTE(wParam);
                return 0;
            }
        }
        return ::CallWindowProcA(editProc, window, message, wParam, lParam);
    }
};
std::string BelowFilter::passed;
WNDPROC BelowFilter::editProc;
BYTE BelowFilter::lead;

class EditField : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = ::CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 300, 24, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(edit, nullptr);
    }
    void TearDown() override
    {
        if (edit)
            ::DestroyWindow(edit);
    }

    void Fill(const std::string& text, DWORD selStart, DWORD selEnd)
    {
        ::SetWindowTextA(edit, text.c_str());
        ::SendMessageA(edit, EM_SETSEL, selStart, selEnd);
    }

    HWND edit = nullptr;
};

struct TypingCase {
    const char* name;
    std::string text;
    DWORD selStart, selEnd;  // characters
    std::string typed;
    bool control;
    std::string passed;
    std::string result;
};

void PrintTo(const TypingCase& c, std::ostream* os)
{
    *os << c.name;
}

class ByteLimitTyping : public EditField, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(ByteLimitTyping, PassesOnlyWhatFitsTheByteLimit)
{
    const TypingCase& c = GetParam();
    BelowFilter::passed.clear();
    BelowFilter::lead = 0;
    BelowFilter::editProc =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(edit, GWLP_WNDPROC, LONG_PTR(BelowFilter::Proc)));
    CByteLimitEdit filter;
    ASSERT_TRUE(filter.SubclassWindow(edit));
    EXPECT_EQ(::SendMessageA(edit, EM_LIMITTEXT, 30, 0), 0);
    EXPECT_EQ(filter.byteLimit, 30);
    Fill(c.text, c.selStart, c.selEnd);
    {
        HeldKeys keys(c.control ? std::vector<BYTE>{VK_CONTROL} : std::vector<BYTE>{});
        for (char byte : c.typed)
            ::SendMessageA(edit, WM_CHAR, BYTE(byte), 0);
    }
    EXPECT_EQ(BelowFilter::passed, c.passed);
    EXPECT_EQ(TextOf(edit), c.result);
    EXPECT_EQ(filter.leadPending, 0);
}

const std::string k29 = Repeat("a", 29);
const std::string k30 = Repeat("a", 30);

INSTANTIATE_TEST_SUITE_P(
    Cases, ByteLimitTyping,
    ::testing::Values(
        TypingCase{"SingleByteIntoLastByte", k29, 29, 29, "b", false, "b", k29 + "b"},
        TypingCase{"DoubleByteIntoLastByte", k29, 29, 29, kA, false, "", k29},
        TypingCase{"SingleByteIntoFullField", k30, 30, 30, "b", false, "", k30},
        TypingCase{"DoubleByteIntoFullField", k30, 30, 30, kA, false, "", k30},
        TypingCase{"BackspaceInFullField", k30, 30, 30, "\b", false, "\b", k29},
        TypingCase{"ControlCharacterInFullField", k30, 30, 30, "\x03", true, "\x03", k30},
        TypingCase{"DoubleByteIntoTwoFreeBytes", Repeat("a", 28), 28, 28, kA + "b", false, kA, Repeat("a", 28) + kA},
        // The selection's bytes count as free; its ends are characters, not bytes.
        TypingCase{"SelectedBytesAreFree", k30, 0, 2, kA, false, kA, kA + Repeat("a", 28)},
        TypingCase{"SelectedDoubleByteCharacterIsTwoFreeBytes", kA + Repeat("a", 28), 0, 1, kI, false, kI,
                   kI + Repeat("a", 28)},
        TypingCase{"SelectionBehindDoubleByteText", Repeat(kWideA, 15), 14, 15, kI, false, kI,
                   Repeat(kWideA, 14) + kI},
        TypingCase{"CharactersUntilFull", Repeat("a", 26), 26, 26, "b" + kA + "cd", false, "b" + kA + "c",
                   Repeat("a", 26) + "b" + kA + "c"}),
    [](const ::testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.name); });

struct PasteCase {
    const char* name;
    std::string text;
    DWORD selStart, selEnd;
    const char* clipboard;
    std::string result;
};

void PrintTo(const PasteCase& c, std::ostream* os)
{
    *os << c.name;
}

class ByteLimitPaste : public EditField, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(ByteLimitPaste, InsertsWholeCharactersUpToTheByteLimit)
{
    const PasteCase& c = GetParam();
    CByteLimitEdit filter;
    ASSERT_TRUE(filter.SubclassWindow(edit));
    ::SendMessageA(edit, EM_LIMITTEXT, 30, 0);
    Fill(c.text, c.selStart, c.selEnd);
    SetClipboard(edit, c.clipboard);
    ::SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(edit), c.result);
}

const std::string k40 = Repeat("x", 40);

INSTANTIATE_TEST_SUITE_P(
    Cases, ByteLimitPaste,
    ::testing::Values(
        PasteCase{"FortyBytesIntoEmptyField", "", 0, 0, k40.c_str(), Repeat("x", 30)},
        PasteCase{"CutBeforeHalfACharacter", "", 0, 0, "a\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0"
                  "\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0",
                  "a" + Repeat(kA, 14)},
        // The byte at the cut is a trail byte with a lead-byte value: the characters are whole.
        PasteCase{"TrailByteInLowLeadRangeAtTheCut", "", 0, 0, "\x82\x81\x82\x81\x82\x81\x82\x81\x82\x81\x82\x81"
                  "\x82\x81\x82\x81\x82\x81\x82\x81\x82\x81\x82\x81\x82\x81\x82\x81\x82\x81\x82\x81\x82\x81\x82\x81",
                  Repeat(kWideA, 15)},
        PasteCase{"TrailByteInHighLeadRangeAtTheCut", "", 0, 0, "\x82\xF1\x82\xF1\x82\xF1\x82\xF1\x82\xF1\x82\xF1"
                  "\x82\xF1\x82\xF1\x82\xF1\x82\xF1\x82\xF1\x82\xF1\x82\xF1\x82\xF1\x82\xF1\x82\xF1\x82\xF1\x82\xF1",
                  Repeat(kN, 15)},
        PasteCase{"FitsWhole", "x", 1, 1, "abc", "xabc"},
        PasteCase{"ReplacesTheSelection", k30, 0, 3, "xyz12", "xyz" + Repeat("a", 27)},
        PasteCase{"FullFieldTakesNothing", k30, 30, 30, "b", k30},
        PasteCase{"NoClipboardText", "ab", 0, 1, nullptr, "ab"}),
    [](const ::testing::TestParamInfo<PasteCase>& info) { return std::string(info.param.name); });

TEST_F(EditField, ByteLimitLeavesTheControlsOwnLimitAlone)
{
    const LRESULT ownLimit = ::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0);
    CByteLimitEdit filter;
    ASSERT_TRUE(filter.SubclassWindow(edit));
    ::SendMessageA(edit, EM_LIMITTEXT, 5, 0);
    EXPECT_EQ(::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), ownLimit);
    EXPECT_EQ(filter.byteLimit, 5);
}

TEST(ByteLimitRoom, SelectionEndsAreCharacterPositions)
{
    struct Case {
        std::string text;
        DWORD start, end;
        LONG room;
    };
    const Case cases[] = {
        {"", 0, 0, 30},
        {k30, 30, 30, 0},
        {kA + "b", 1, 1, 27},
        {kA + "b", 0, 1, 29},
        {Repeat(kWideA, 3), 1, 2, 26},
        {Repeat(kN, 3), 3, 3, 24},
        // Positions past the end are the end.
        {"ab", 5, 9, 28},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CByteLimitEdit::RoomFor(c.text.c_str(), int(c.text.size()), c.start, c.end, 30), c.room)
            << c.text << " " << c.start << ".." << c.end;
}

struct DigitsCase {
    const char* name;
    std::string text;
    DWORD selStart, selEnd;
    const char* clipboard;
    std::string result;
};

void PrintTo(const DigitsCase& c, std::ostream* os)
{
    *os << c.name;
}

class CustomerIdPaste : public EditField, public ::testing::WithParamInterface<DigitsCase> {};

TEST_P(CustomerIdPaste, KeepsOnlyAsciiDigits)
{
    const DigitsCase& c = GetParam();
    CCustomerIdEdit filter;
    ASSERT_TRUE(filter.SubclassWindow(edit));
    Fill(c.text, c.selStart, c.selEnd);
    SetClipboard(edit, c.clipboard);
    ::SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(edit), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CustomerIdPaste,
    ::testing::Values(DigitsCase{"SeparatorsRemoved", "", 0, 0, "12-34 56", "123456"},
                      DigitsCase{"InsertedAtTheCaret", "00", 1, 1, "a1b2", "0120"},
                      DigitsCase{"NoDigitsDeletesSelection", "999", 0, 3, "abc", ""},
                      DigitsCase{"FullWidthDigitsAreNotDigits", "7", 0, 1, "\x82\x50\x82\x51", ""},
                      DigitsCase{"NoClipboardTextDeletesSelection", "123", 1, 2, nullptr, "13"}),
    [](const ::testing::TestParamInfo<DigitsCase>& info) { return std::string(info.param.name); });

TEST(IconLocker, KeepsTheIconWhileAttached)
{
    HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    HICON first = ::LoadIconA(nullptr, IDI_APPLICATION);
    HICON second = ::LoadIconA(nullptr, IDI_WARNING);
    ::SendMessageA(window, WM_SETICON, ICON_BIG, LPARAM(first));
    {
        CIconLocker locker;
        ASSERT_TRUE(locker.SubclassWindow(window));
        EXPECT_EQ(::SendMessageA(window, WM_SETICON, ICON_BIG, LPARAM(second)), 0);
        EXPECT_EQ(::SendMessageA(window, WM_SETICON, ICON_SMALL, LPARAM(second)), 0);
        EXPECT_EQ(HICON(::SendMessageA(window, WM_GETICON, ICON_BIG, 0)), first);
        // Everything else still reaches the window.
        ::SetWindowTextA(window, "printing");
        EXPECT_EQ(TextOf(window), "printing");
    }
    // Destroying the locker detached it.
    EXPECT_EQ(HICON(::SendMessageA(window, WM_SETICON, ICON_BIG, LPARAM(second))), first);
    EXPECT_EQ(HICON(::SendMessageA(window, WM_GETICON, ICON_BIG, 0)), second);
    ::DestroyWindow(window);
}

}  // namespace
