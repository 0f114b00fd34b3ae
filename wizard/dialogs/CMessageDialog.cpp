#include "CMessageDialog.h"

namespace {

// Margins of the layout in client pixels.
const int kRightMargin = 34;
const int kMaxClientWidth = 481;
const int kWrapEdge = 447;

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int MeasureHeight(HDC dc, const char* text, int width, UINT flags)
{
    RECT rect = {0, 0, width, 0};
    ::DrawTextA(dc, text, -1, &rect, DT_CALCRECT | flags);
    return rect.bottom - rect.top;
}

}  // namespace

CMessageDialog::CMessageDialog(const char* message, const char* caption)
    : m_message(message ? message : ""), m_caption(caption ? caption : "")
{
}

LRESULT CMessageDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SetWindowText(m_caption);
    SendDlgItemMessageA(m_hWnd, IDC_MSG_ICON, STM_SETICON, WPARAM(::LoadIconA(nullptr, IDI_WARNING)), 0);
    SetDlgItemText(IDC_MSG_BUTTON1, m_firstButton);
    SetDlgItemText(IDC_MSG_BUTTON2, m_secondButton);
    ::EnableMenuItem(GetSystemMenu(FALSE), SC_CLOSE, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
    m_text = GetDlgItem(IDC_MSG_TEXT);
    ::SetWindowTextA(m_text, m_message);
    Layout();
    CenterWindow(GetParent());
    return 0;
}

void CMessageDialog::Layout()
{
    RECT client;
    GetClientRect(&client);
    const RECT textRect = ChildRect(m_hWnd, m_text);
    const int x = textRect.left;
    const int room = client.right - x - kRightMargin;
    const RECT buttonRect = ChildRect(m_hWnd, GetDlgItem(IDC_MSG_BUTTON1));
    const int bw = buttonRect.right - buttonRect.left;
    const int bh = buttonRect.bottom - buttonRect.top;

    HDC dc = ::GetDC(m_text);
    HGDIOBJ oldFont = ::SelectObject(dc, HGDIOBJ(::SendMessageA(m_text, WM_GETFONT, 0, 0)));
    RECT oneLine = {0, 0, 0, 0};
    ::DrawTextA(dc, m_message, -1, &oneLine, DT_CALCRECT);
    const int c = room > oneLine.right - oneLine.left ? room : oneLine.right - oneLine.left;
    const int d = x + c + kRightMargin;
    const int clientWidth = d > kMaxClientWidth ? kMaxClientWidth : d;
    const int textWidth = d > kMaxClientWidth ? kWrapEdge - x : c;
    const int h = MeasureHeight(dc, m_message, textWidth, DT_WORDBREAK);
    const int line = MeasureHeight(dc, m_message, 0, DT_SINGLELINE);
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(m_text, dc);
    const int textHeight = h > 2 * line ? h : 2 * line;

    // The window's own frame: a dialog frame is thinner than an overlapped window's.
    RECT window = {0, 0, clientWidth, textHeight + 4 * line + bh + 20};
    ::AdjustWindowRectEx(&window, DWORD(GetStyle()), FALSE, DWORD(GetExStyle()));
    SetWindowPos(nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    ::SetWindowPos(m_text, nullptr, x, 2 * line, textWidth, textHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    HWND icon = GetDlgItem(IDC_MSG_ICON);
    ::SetWindowPos(icon, nullptr, ChildRect(m_hWnd, icon).left, 2 * line, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    GetClientRect(&client);
    const int cw = client.right;
    const int ch = client.bottom;
    ::SetWindowPos(GetDlgItem(IDC_MSG_BUTTON2), nullptr, cw - bw - 17, ch - bh - 10, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(GetDlgItem(IDC_MSG_BUTTON1), nullptr, cw - 2 * bw - 27, ch - bh - 10, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CMessageDialog::OnCtlColor(UINT, WPARAM, LPARAM, BOOL&)
{
    return LRESULT(::GetStockObject(WHITE_BRUSH));
}

LRESULT CMessageDialog::OnFirstButton(WORD, WORD, HWND, BOOL&)
{
    EndDialog(1);
    return 0;
}

LRESULT CMessageDialog::OnSecondButton(WORD, WORD, HWND, BOOL&)
{
    EndDialog(2);
    return 0;
}
