#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "KavoTestPaths.h"
#include "resource.h"

namespace {

const char kBrowserClass[] = "{8856F961-340A-11D0-A96B-00C04FD705A2}";

// The frame is laid out around a page of this size (its client area is the page plus a
// 47-pixel band, inside an 800 x 600 window).
constexpr int kPageWidth = 784;
constexpr int kPageHeight = 506;

// Widest step string of any flow ("Lpcsif", "Lpcarf"): six tiles of 106 x 32 pixels.
constexpr int kStepTileWidth = 106;
constexpr int kStepTileHeight = 32;
constexpr int kMostSteps = 6;

HWND g_host = nullptr;

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK TrivialDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Stands in for the browser until the framework's ActiveX host replaces it: the template's
// control class is the GUID text, and dialog creation fails when no such class exists.
class TemplateEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&controls));

        WNDCLASSA browser = {};
        browser.lpfnWndProc = PlainWindowProc;
        browser.hInstance = GetModuleHandleA(nullptr);
        browser.lpszClassName = kBrowserClass;
        ASSERT_NE(RegisterClassA(&browser), 0);

        WNDCLASSA host = {};
        host.lpfnWndProc = PlainWindowProc;
        host.hInstance = GetModuleHandleA(nullptr);
        host.lpszClassName = "KavoTemplateTestHost";
        ASSERT_NE(RegisterClassA(&host), 0);
        g_host = CreateWindowA("KavoTemplateTestHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(g_host, nullptr);
    }
    void TearDown() override
    {
        if (g_host)
            DestroyWindow(g_host);
    }
};

[[maybe_unused]] const ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new TemplateEnvironment);

class Dialog {
public:
    explicit Dialog(int templateId)
        : window(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), g_host,
                                    TrivialDialogProc, 0))
    {
    }
    ~Dialog()
    {
        if (window)
            DestroyWindow(window);
    }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    HWND Item(int id) const { return GetDlgItem(window, id); }
    LONG Style() const { return GetWindowLongA(window, GWL_STYLE); }

    // A control's rectangle in the dialog's client coordinates.
    RECT ItemRect(HWND item) const
    {
        RECT rect;
        GetWindowRect(item, &rect);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    std::vector<HWND> Children() const
    {
        std::vector<HWND> children;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            children.push_back(child);
        return children;
    }

    HWND window;
};

std::string ClassOf(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct PageCase {
    const char* name;
    int templateId;
    int browserId;  // 0: the page has no browser control
    bool stepBar;
    std::vector<int> controls;  // as the documents list them for the page
};

void PrintTo(const PageCase& page, std::ostream* out) { *out << page.name; }

const PageCase kPages[] = {
    {"Login", IDD_LOGIN, IDC_WEBBROWSER, true,
     {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_STATIC4, IDC_STATIC5, IDC_STATIC6, IDC_STATIC7, IDC_LOGIN,
      IDC_EDIT1, IDC_EDIT2, IDC_CHECK1, IDC_MASK, ID_PAGE_CLOSE}},
    {"Status", IDD_STATUS, IDC_WEBBROWSER, true,
     {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_STATIC4, IDC_STATIC5, IDC_STATIC6, IDC_STATIC7, IDC_STATIC8,
      IDC_STATIC11, IDC_ADD, IDC_DEL, IDC_SHOWEULA, IDC_REFRESH, IDC_AGREEMENTS, IDC_GROUPBOX, IDC_STATUSLINE,
      ID_PAGE_CLOSE}},
    {"ModifyStatus", IDD_MODIFYSTATUS, IDC_WEBBROWSER, true,
     {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_STATIC4, IDC_STATIC5, IDC_STATIC6, IDC_STATIC10, IDC_DEL,
      IDC_BACK}},
    {"Start", IDD_START, IDC_WEBBROWSER, true, {IDC_STATIC1, IDC_STATIC2, IDC_NEXT, IDC_BACK}},
    {"CheckComputer", IDD_CHECKCOMPUTER, IDC_WEBBROWSER, true,
     {IDC_START, IDC_NEXT, IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_STATIC4, IDC_STATIC5, IDC_STATIC6,
      IDC_STATIC7, IDC_STATIC8, IDC_STATIC9, IDC_STATIC10, IDC_STATIC11, IDC_STATIC12, IDC_STATIC13,
      IDC_STATIC14, IDC_MARK_OS, IDC_MARK_IE, IDC_MARK_HDD, IDC_MARK_CPU, IDC_MARK_MEM, IDC_MARK_APP}},
    {"Eula", IDD_EULA, IDC_WEBBROWSER, true,
     {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_AGREE, IDC_DISAGREE, IDC_REFRESH, ID_PAGE_CLOSE}},
    {"PreSignup", IDD_PRESIGNUP, IDC_WEBBROWSER, true, {IDC_STATIC1, IDC_STATIC2, IDC_SIGNUP, IDCANCEL, IDC_IMAGE}},
    {"Signup", IDD_SIGNUP, 0, true, {IDC_STATIC1, IDC_PROGRESS}},
    {"OpsProgress", IDD_OPSPROGRESS, 0, true, {IDC_STATIC1, IDC_PROGRESS}},
    {"PostSignup", IDD_POSTSIGNUP, IDC_WEBBROWSER, true, {IDC_NEXT, IDC_BACK, IDC_PRINT}},
    {"RegClient", IDD_REGCLIENT, IDC_WEBBROWSER, true,
     {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_STATIC4, IDC_STATIC5, IDC_STATIC6, IDC_STATIC8, IDC_CHECK1,
      IDC_CHECK2, IDC_NEXT, IDC_CUSTOMIZE, IDC_EDIT1, IDC_EDIT2, IDC_IMAGE}},
    {"PreInstall", IDD_PREINSTALL, IDC_WEBBROWSER, true, {IDC_INSTALL, IDC_RADIO1, IDC_RADIO2}},
    {"ExternalEula", IDD_EXTERNALEULA, IDC_WEBBROWSER, false,
     {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_AGREE, IDC_DISAGREE, IDC_REFRESH}},
    {"Install", IDD_INSTALL, 0, true,
     {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_STATIC4, IDC_STATIC5, IDC_STATIC6, IDC_STATIC7, IDC_STATIC8,
      IDC_STATIC9, IDC_STATIC10, IDC_STATIC11, IDC_STATIC12, IDC_STATIC13, IDC_IMAGE, IDC_IMAGE2, IDC_PROGRESS}},
    {"PostInstall", IDD_POSTINSTALL, IDC_WEBBROWSER, true, {IDC_CLOSE}},
    {"InstallFailed", IDD_INSTALLFAILED, IDC_WEBBROWSER, true, {IDC_INSTALL, ID_PAGE_CLOSE}},
    {"Short", IDD_SHORT, IDC_WEBBROWSER, true,
     {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_IMAGE, IDC_NEXT, ID_PAGE_CLOSE}},
    {"ShortHdd", IDD_SHORTHDD, IDC_WEBBROWSER, true,
     {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_STATIC4, IDC_STATIC5, IDC_NEXT, ID_PAGE_CLOSE}},
    {"ShortApp", IDD_SHORTAPP, IDC_WEBBROWSER, true,
     {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_STATIC4, IDC_DEL, ID_PAGE_CLOSE}},
    {"PreCancel", IDD_PRECANCEL, IDC_WEBBROWSER, true,
     {IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_IMAGE, IDC_BACK, IDC_NEXT}},
    {"PostCancel", IDD_POSTCANCEL, 0, true, {IDC_STATIC1, IDC_STATIC2, IDC_BACK, IDC_END}},
    {"PreUpgrade", IDD_PREUPGRADE, IDC_WEBBROWSER, false, {IDC_STATIC1, IDC_UPGRADE, IDCANCEL}},
    {"Error", IDD_ERROR, IDC_WEBBROWSER, false, {IDC_BACK, ID_PAGE_CLOSE, IDC_RETRY}},
    {"Motd", IDD_MOTD, IDC_WEBBROWSER, false, {IDC_NEXT, ID_PAGE_CLOSE}},
    {"Core101", IDD_CORE101, 0, false, {}},
    {"Core280", IDD_CORE280, 0, false, {}},
    {"Core285", IDD_CORE285, 0, false, {}},
    {"Update", IDD_UPDATE, 0, false, {IDC_MAIN_STATIC1, IDC_MAIN_PROGRESS}},
    {"FirewallFound", IDD_FIREWALLFOUND, IDC_MAIN_WEBBROWSER, false,
     {IDC_MAIN_NEXT, IDC_MAIN_STATIC1, IDC_MAIN_ICON, IDC_MAIN_STATIC2, IDC_MAIN_STATIC4}},
    {"KavoError", IDD_KAVOERROR, IDC_MAIN_WEBBROWSER, false, {ID_PAGE_CLOSE, IDC_MAIN_STATIC1, IDC_MAIN_ICON}},
};

class PageTemplate : public ::testing::TestWithParam<PageCase> {};

TEST_P(PageTemplate, IsAHiddenChildOfThePageSizeWithItsControls)
{
    const PageCase& page = GetParam();
    Dialog dialog(page.templateId);
    ASSERT_NE(dialog.window, nullptr) << "error " << GetLastError();

    EXPECT_TRUE(dialog.Style() & WS_CHILD);
    EXPECT_EQ(GetParent(dialog.window), g_host);
    EXPECT_FALSE(dialog.Style() & WS_VISIBLE) << "the frame shows the page";
    EXPECT_EQ(dialog.Style() & (WS_CAPTION | WS_THICKFRAME), 0);

    // Whole dialog units cannot reach 784 x 506 exactly under Wine's base units (6 x 13);
    // the templates stay at most one pixel inside.
    RECT client;
    GetClientRect(dialog.window, &client);
    EXPECT_LE(client.right, kPageWidth);
    EXPECT_GE(client.right, kPageWidth - 1);
    EXPECT_LE(client.bottom, kPageHeight);
    EXPECT_GE(client.bottom, kPageHeight - 1);

    for (int id : page.controls)
        EXPECT_NE(dialog.Item(id), nullptr) << "control " << id;

    std::set<int> ids;
    for (HWND child : dialog.Children()) {
        const int id = GetDlgCtrlID(child);
        const RECT rect = dialog.ItemRect(child);
        EXPECT_TRUE(ids.insert(id).second) << "control " << id << " twice";
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom)
            << "control " << id << " leaves the page";
        if (id != page.browserId) {
            EXPECT_NE(ClassOf(child), kBrowserClass) << "control " << id << " is a browser";
        }
    }

    if (page.browserId) {
        EXPECT_EQ(ClassOf(dialog.Item(page.browserId)), kBrowserClass);
    }
}

INSTANTIATE_TEST_SUITE_P(AllPages, PageTemplate, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

std::vector<PageCase> PagesWithStepBar()
{
    std::vector<PageCase> pages;
    for (const PageCase& page : kPages)
        if (page.stepBar)
            pages.push_back(page);
    return pages;
}

class StepBarPage : public ::testing::TestWithParam<PageCase> {};

TEST_P(StepBarPage, BarHeadsThePageClearOfOtherControls)
{
    const PageCase& page = GetParam();
    Dialog dialog(page.templateId);
    ASSERT_NE(dialog.window, nullptr);
    HWND bar = dialog.Item(IDC_STEPBAR);
    ASSERT_NE(bar, nullptr);

    EXPECT_EQ(ClassOf(bar), "Static");
    EXPECT_EQ(GetWindowLongA(bar, GWL_STYLE) & SS_TYPEMASK, SS_OWNERDRAW);
    const RECT rect = dialog.ItemRect(bar);
    EXPECT_GE(rect.right - rect.left, kMostSteps * kStepTileWidth);
    EXPECT_GE(rect.bottom - rect.top, kStepTileHeight);

    for (HWND child : dialog.Children()) {
        if (child == bar || !(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        const RECT other = dialog.ItemRect(child);
        RECT overlap;
        EXPECT_FALSE(IntersectRect(&overlap, &rect, &other)) << "control " << GetDlgCtrlID(child);
    }
}

INSTANTIATE_TEST_SUITE_P(StepBarPages, StepBarPage, ::testing::ValuesIn(PagesWithStepBar()),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

struct ModalCase {
    const char* name;
    int templateId;
    std::vector<int> controls;
};

void PrintTo(const ModalCase& modal, std::ostream* out) { *out << modal.name; }

const ModalCase kModals[] = {
    {"ChangeId", IDD_CHANGEID, {IDOK, IDCANCEL, IDC_IMAGE, IDC_STATIC1, IDC_STATIC2, IDC_EDIT1, IDC_STATIC3}},
    {"ChangeMailAddress", IDD_CHANGEMAILADDRESS,
     {IDOK, IDCANCEL, IDC_IMAGE, IDC_STATIC1, IDC_STATIC2, IDC_STATIC3, IDC_EDIT1, IDC_CHECK1}},
    {"Message", IDD_MESSAGE, {IDC_MSG_BUTTON1, IDC_MSG_BUTTON2, IDC_MSG_TEXT, IDC_MSG_ICON}},
};

class ModalTemplate : public ::testing::TestWithParam<ModalCase> {};

TEST_P(ModalTemplate, IsACaptionedPopupWithItsControls)
{
    const ModalCase& modal = GetParam();
    Dialog dialog(modal.templateId);
    ASSERT_NE(dialog.window, nullptr) << "error " << GetLastError();

    EXPECT_TRUE(dialog.Style() & WS_POPUP);
    EXPECT_FALSE(dialog.Style() & WS_CHILD);
    EXPECT_EQ(dialog.Style() & WS_CAPTION, WS_CAPTION);
    for (int id : modal.controls)
        EXPECT_NE(dialog.Item(id), nullptr) << "control " << id;
}

INSTANTIATE_TEST_SUITE_P(AllModals, ModalTemplate, ::testing::ValuesIn(kModals),
                         [](const ::testing::TestParamInfo<ModalCase>& info) { return std::string(info.param.name); });

// What the page code relies on: a state it never sets itself, or a style without which its
// messages (STM_SETIMAGE, STM_SETICON, check marks, owner drawing) do nothing.
struct ControlCase {
    int templateId;
    int id;
    const char* className;
    LONG styleMask;
    LONG style;
};

const ControlCase kControls[] = {
    {IDD_LOGIN, IDC_EDIT1, "Edit", ES_NUMBER, ES_NUMBER},
    {IDD_LOGIN, IDC_EDIT2, "Edit", ES_PASSWORD, ES_PASSWORD},
    {IDD_LOGIN, IDC_CHECK1, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX},
    {IDD_LOGIN, IDC_MASK, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX},
    {IDD_LOGIN, IDC_LOGIN, "Button", WS_DISABLED, WS_DISABLED},
    {IDD_STATUS, IDC_STATUSLINE, "Static", SS_TYPEMASK, SS_OWNERDRAW},
    {IDD_STATUS, IDC_STATIC2, "Button", BS_TYPEMASK, BS_GROUPBOX},
    {IDD_STATUS, IDC_GROUPBOX, "Button", BS_TYPEMASK, BS_GROUPBOX},
    {IDD_STATUS, IDC_STATIC11, "Static", WS_VISIBLE, 0},
    {IDD_STATUS, IDC_SHOWEULA, "Button", WS_VISIBLE, 0},
    {IDD_STATUS, IDC_ADD, "Button", WS_VISIBLE, 0},
    {IDD_STATUS, IDC_DEL, "Button", WS_VISIBLE, 0},
    {IDD_STATUS, IDC_AGREEMENTS, "Button", WS_DISABLED, WS_DISABLED},
    {IDD_MODIFYSTATUS, IDC_STATIC2, "Button", BS_TYPEMASK, BS_GROUPBOX},
    {IDD_MODIFYSTATUS, IDC_DEL, "Button", WS_DISABLED, WS_DISABLED},
    {IDD_CHECKCOMPUTER, IDC_START, "Button", WS_DISABLED, WS_DISABLED},
    {IDD_CHECKCOMPUTER, IDC_NEXT, "Button", WS_VISIBLE, 0},
    {IDD_CHECKCOMPUTER, IDC_STATIC14, "Static", WS_VISIBLE, 0},
    {IDD_CHECKCOMPUTER, IDC_MARK_OS, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_CHECKCOMPUTER, IDC_MARK_IE, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_CHECKCOMPUTER, IDC_MARK_HDD, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_CHECKCOMPUTER, IDC_MARK_CPU, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_CHECKCOMPUTER, IDC_MARK_MEM, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_CHECKCOMPUTER, IDC_MARK_APP, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_PRESIGNUP, IDC_IMAGE, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_SIGNUP, IDC_PROGRESS, PROGRESS_CLASSA, 0, 0},
    {IDD_OPSPROGRESS, IDC_PROGRESS, PROGRESS_CLASSA, 0, 0},
    {IDD_REGCLIENT, IDC_IMAGE, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_REGCLIENT, IDC_CHECK1, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX},
    {IDD_REGCLIENT, IDC_CHECK2, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX},
    {IDD_REGCLIENT, IDC_NEXT, "Button", WS_DISABLED, WS_DISABLED},
    {IDD_REGCLIENT, IDC_CUSTOMIZE, "Button", WS_VISIBLE, 0},
    {IDD_PREINSTALL, IDC_RADIO1, "Button", BS_TYPEMASK, BS_AUTORADIOBUTTON},
    {IDD_PREINSTALL, IDC_RADIO2, "Button", BS_TYPEMASK, BS_AUTORADIOBUTTON},
    {IDD_INSTALL, IDC_IMAGE, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_INSTALL, IDC_IMAGE2, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_INSTALL, IDC_PROGRESS, PROGRESS_CLASSA, 0, 0},
    {IDD_SHORT, IDC_IMAGE, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_PRECANCEL, IDC_IMAGE, "Static", SS_TYPEMASK, SS_BITMAP},
    {IDD_CHANGEID, IDC_IMAGE, "Static", SS_TYPEMASK, SS_ICON},
    {IDD_CHANGEMAILADDRESS, IDC_IMAGE, "Static", SS_TYPEMASK, SS_ICON},
    {IDD_CHANGEMAILADDRESS, IDC_CHECK1, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX},
    {IDD_MESSAGE, IDC_MSG_ICON, "Static", SS_TYPEMASK, SS_ICON},
    {IDD_UPDATE, IDC_MAIN_PROGRESS, PROGRESS_CLASSA, 0, 0},
    {IDD_FIREWALLFOUND, IDC_MAIN_ICON, "Static", SS_TYPEMASK, SS_ICON},
    {IDD_FIREWALLFOUND, IDC_MAIN_STATIC1, "Button", BS_TYPEMASK, BS_GROUPBOX},
    {IDD_FIREWALLFOUND, IDC_MAIN_STATIC4, "Button", BS_TYPEMASK, BS_GROUPBOX},
    {IDD_KAVOERROR, IDC_MAIN_ICON, "Static", SS_TYPEMASK, SS_BITMAP},
};

TEST(ControlStyles, AreWhatThePageCodeExpects)
{
    for (const ControlCase& control : kControls) {
        SCOPED_TRACE(::testing::Message() << "template " << control.templateId << ", control " << control.id);
        Dialog dialog(control.templateId);
        ASSERT_NE(dialog.window, nullptr);
        HWND item = dialog.Item(control.id);
        ASSERT_NE(item, nullptr);
        EXPECT_STREQ(ClassOf(item).c_str(), control.className);
        EXPECT_EQ(GetWindowLongA(item, GWL_STYLE) & control.styleMask, control.style);
    }
}

// Windres reads the UTF-8 scripts only under their code-page pragma; the captions must
// arrive as the system's CP932 text.
TEST(TemplateCaptions, ReadBackAsCodePage932)
{
    struct {
        int templateId;
        int id;
        const char* caption;
    } const cases[] = {
        {IDD_EULA, IDC_REFRESH, "再読み込み(&R)"},
        {IDD_LOGIN, IDC_LOGIN, "ログイン(&L)"},
        {IDD_MESSAGE, IDC_MSG_BUTTON2, "いいえ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "template " << c.templateId << ", control " << c.id);
        Dialog dialog(c.templateId);
        ASSERT_NE(dialog.window, nullptr);
        EXPECT_EQ(TextOf(dialog.Item(c.id)), c.caption);
    }
}

TEST(CheckComputerTemplate, RenamedStartButtonIsFoundBeforeThePlaceholder)
{
    Dialog dialog(IDD_CHECKCOMPUTER);
    ASSERT_NE(dialog.window, nullptr);
    HWND start = dialog.Item(IDC_START);
    ASSERT_NE(start, nullptr);
    SetWindowLongPtrA(start, GWLP_ID, IDC_NEXT);
    EXPECT_EQ(dialog.Item(IDC_NEXT), start);
}

// The message dialog's font is fixed by the documents; the pages' font is free.
TEST(MessageTemplate, AsksForMeiryoUi9)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_MESSAGE), MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    const WORD* words = static_cast<const WORD*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(words, nullptr);
    ASSERT_EQ(words[0], 1);       // DLGTEMPLATEEX
    ASSERT_EQ(words[1], 0xFFFF);
    const WORD* p = words + 13;   // past version, help id, styles, item count and position
    auto skipNameOrOrdinal = [&p] {
        if (*p == 0xFFFF)
            p += 2;
        else
            while (*p++) {
            }
    };
    skipNameOrOrdinal();  // menu
    skipNameOrOrdinal();  // class
    while (*p++) {        // caption
    }
    EXPECT_EQ(p[0], 9);  // point size; weight, italic and charset follow
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(p + 3)), L"Meiryo UI");
}

// One number per name within a family: templates, controls of the core library, controls of
// the main program, bitmaps, icons, data, commands. A name defined as another name is an
// intended second role of that number.
TEST(ResourceHeader, NumbersAreUniqueWithinEachFamily)
{
    const std::string header = ReadWholeFile(SourcePath("resources/resource.h"));
    ASSERT_FALSE(header.empty());

    auto familyOf = [](const std::string& name) {
        if (name.rfind("IDC_MAIN_", 0) == 0)
            return std::string("IDC_MAIN_");
        return name.substr(0, name.find('_') + 1);
    };

    std::map<std::string, long> numbers;
    std::map<std::string, std::map<long, std::string>> families;
    std::istringstream lines(header);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string directive, name, value;
        if (!(words >> directive >> name >> value) || directive != "#define" || name.rfind("ID", 0) != 0)
            continue;
        if (std::isdigit(static_cast<unsigned char>(value[0]))) {
            const long number = std::stol(value);
            EXPECT_TRUE(numbers.emplace(name, number).second) << name << " defined twice";
            auto placed = families[familyOf(name)].emplace(number, name);
            EXPECT_TRUE(placed.second) << name << " and " << placed.first->second << " are both " << number;
        } else {
            auto target = numbers.find(value);
            EXPECT_NE(target, numbers.end()) << name << " names the undefined " << value;
            EXPECT_EQ(familyOf(name), familyOf(value)) << name << " borrows from another family";
        }
    }
    EXPECT_FALSE(families.empty());
}

}  // namespace
