#include "CInstallDialog.h"

#include "CAtlModule.h"
#include "PageTexts.h"

// No browser control: the page shows its progress or result in plain controls.
namespace {

// The percent text comes from downloaded definitions: it may only hold "%%" and at most one
// integer conversion, or a stray "%s" or "%n" would read or write through the number.
bool TakesOneNumberAtMost(const char* format)
{
    int conversions = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        if (*++p == '%')
            continue;
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '0' || *p == '#')
            ++p;
        while (*p >= '0' && *p <= '9')
            ++p;
        if (*p == '.')
            for (++p; *p >= '0' && *p <= '9'; ++p) {
            }
        if (*p != 'd' && *p != 'i' && *p != 'u')
            return false;
        ++conversions;
    }
    return conversions <= 1;
}

}  // namespace

CInstallDialog::CInstallDialog() : CKAVODlg(0xFFFF) {}

CInstallDialog::~CInstallDialog() = default;

void CInstallDialog::ShowProgressText(int phase, int value)
{
    const auto setText = [this](WORD control, const char* key) {
        CString text;
        GetExpandedText(text, key);
        ::SetDlgItemTextA(m_hWnd, control, text);
    };
    const auto showDone = [this](WORD control) {
        if (!m_doneMark)
            m_doneMark.LoadBitmap(AtlGetResourceInstance(), IDB_STEP_DONE);
        ::SendDlgItemMessageA(m_hWnd, control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_doneMark.Get()));
    };

    if (phase == 0 && value == 0) {
        setText(IDC_STATIC4, "B_N09_IDC_STATIC4_0");
    } else if (phase == 0 && value == 1) {
        setText(IDC_STATIC4, "B_N09_IDC_STATIC4_1");
        showDone(IDC_IMAGE);
    } else if (phase == 1 && value == 0) {
        setText(IDC_STATIC6, "B_N09_IDC_STATIC6_0");
    } else if (phase == 1 && unsigned(value) <= 100) {
        CString format;
        GetExpandedText(format, "B_N09_IDC_STATIC6_n");
        CString text;
        if (TakesOneNumberAtMost(format))
            text.Format(format, value);
        else
            text = format;
        ::SetDlgItemTextA(m_hWnd, IDC_STATIC6, text);
    } else if (phase == 1) {
        setText(IDC_STATIC6, "B_N09_IDC_STATIC6_2");
        showDone(IDC_IMAGE2);
    } else if (phase == 2 && value >= 0 && value <= 2) {
        static const char* const kInstalling[] = {"B_N09_IDC_STATIC8_0", "B_N09_IDC_STATIC8_1", "B_N09_IDC_STATIC8_2"};
        setText(IDC_STATIC8, kInstalling[value]);
    }

    m_progressPhase = phase;
    m_progressValue = value;
    static const WORD kStepTexts[] = {IDC_STATIC4, IDC_STATIC6, IDC_STATIC8, IDC_STATIC10, IDC_STATIC12};
    for (int step = 0; step <= phase && step < int(sizeof kStepTexts / sizeof kStepTexts[0]); ++step)
        if (HWND text = GetDlgItem(kStepTexts[step]))
            ::InvalidateRect(text, nullptr, TRUE);
}

void CInstallDialog::InitTexts()
{
    static const PageText kTexts[] = {
        {IDC_STATIC1, "B_N09_IDC_STATIC1"},
        {IDC_STATIC2, "B_N09_IDC_STATIC2"},
        {IDC_STATIC3, "B_N09_IDC_STATIC3"},
        {IDC_STATIC4, "B_N09_IDC_STATIC4_0"},
        {IDC_STATIC5, "B_N09_IDC_STATIC5"},
        {IDC_STATIC6, "B_N09_IDC_STATIC6_0"},
        {IDC_STATIC7, "B_N09_IDC_STATIC7"},
        {IDC_STATIC8, "B_N09_IDC_STATIC8_0"},
        {IDC_STATIC9, "B_N09_IDC_STATIC9"},
        {IDC_STATIC10, "B_N09_IDC_STATIC10_0"},
        {IDC_STATIC11, "B_N09_IDC_STATIC11"},
        {IDC_STATIC12, "B_N09_IDC_STATIC12_0"},
        {IDC_STATIC13, "B_N09_IDC_STATIC13"},
    };
    SetPageTexts(*this, kTexts);
}
