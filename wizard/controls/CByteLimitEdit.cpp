#include "CByteLimitEdit.h"

#include "CStringT.h"
#include "ClipboardText.h"

namespace {

// The byte offset of character index chars in text; the text's length when it has fewer.
int OffsetOfCharacter(const char* text, int length, DWORD chars)
{
    int offset = 0;
    for (DWORD count = 0; count < chars && offset < length; ++count)
        offset += (::IsDBCSLeadByte(BYTE(text[offset])) && offset + 1 < length) ? 2 : 1;
    return offset < length ? offset : length;
}

}  // namespace

CByteLimitEdit::~CByteLimitEdit()
{
    if (m_hWnd)
        UnsubclassWindow();
}

LONG CByteLimitEdit::RoomFor(const char* text, int length, DWORD start, DWORD end, LONG byteLimit)
{
    const int s = OffsetOfCharacter(text, length, start);
    const int e = OffsetOfCharacter(text, length, end);
    return byteLimit - (length - e) - s;
}

int CByteLimitEdit::FittingBytes(const char* text, int length, LONG room)
{
    int kept = 0;
    while (kept < length) {
        const int size = (::IsDBCSLeadByte(BYTE(text[kept])) && kept + 1 < length) ? 2 : 1;
        if (kept + size > room)
            break;
        kept += size;
    }
    return kept;
}

void CByteLimitEdit::UpdateRoom()
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    CString text;
    ::GetWindowTextA(m_hWnd, text.GetBufferSetLength(length), length + 1);
    text.ReleaseBuffer(length);
    DWORD start = 0;
    DWORD end = 0;
    SendMessage(EM_GETSEL, WPARAM(&start), LPARAM(&end));
    room = RoomFor(text, text.GetLength(), start, end, byteLimit);
}

LRESULT CByteLimitEdit::OnLimitText(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    byteLimit = LONG(wParam);
    return 0;
}

LRESULT CByteLimitEdit::OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    const BYTE byte = BYTE(wParam);
    if (wParam == VK_BACK || (::GetKeyState(VK_CONTROL) & 0x8000)) {
        bHandled = FALSE;
        return 0;
    }
    UpdateRoom();
    bool passes;
    if (leadPending) {
        leadPending = 0;
        if (room == 1)
            return 0;
        passes = room > 0;
    } else if (::IsDBCSLeadByte(byte)) {
        leadPending = 1;
        passes = room > 1;
    } else {
        passes = room > 0;
    }
    if (!passes) {
        ::MessageBeep(0);
        return 0;
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CByteLimitEdit::OnPaste(UINT, WPARAM, LPARAM, BOOL&)
{
    UpdateRoom();
    CString text = GetClipboardText();
    if (text.GetLength() > room) {
        ::MessageBeep(0);
        text = text.Left(FittingBytes(text, text.GetLength(), room));
    }
    if (!text.IsEmpty())
        SendMessage(EM_REPLACESEL, TRUE, LPARAM(text.GetString()));
    return 0;
}
