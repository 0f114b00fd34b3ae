#pragma once
// An edit field limited by its length in bytes of the ANSI code page, where a double-byte
// character counts two. Attach it to an existing edit (SubclassWindow); the window's own
// procedure is given back when the object goes. The owner of the edit's window owns this
// object, which must outlive the attachment or be destroyed before the window.
#include <windows.h>

#include "CWindowImpl.h"

class CByteLimitEdit : public CWindowImpl<CByteLimitEdit> {
public:
    CByteLimitEdit() = default;
    ~CByteLimitEdit() override;

    BEGIN_MSG_MAP(CByteLimitEdit)
        MESSAGE_HANDLER(EM_LIMITTEXT, OnLimitText)
        MESSAGE_HANDLER(WM_CHAR, OnChar)
        MESSAGE_HANDLER(WM_PASTE, OnPaste)
    END_MSG_MAP()

    // The bytes still free when the selection is replaced, for text (length bytes) whose
    // selection runs from character start to character end (a double-byte character is one).
    static LONG RoomFor(const char* text, int length, DWORD start, DWORD end, LONG byteLimit);
    // How many leading bytes of text fit into room bytes without splitting a double-byte
    // character; the characters are found from the text's start.
    static int FittingBytes(const char* text, int length, LONG room);

    // The control's own default limit until an EM_LIMITTEXT sets another.
    LONG byteLimit = 30000;
    LONG room = 0;
    LONG leadPending = 0;

private:
    LRESULT OnLimitText(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnPaste(UINT, WPARAM, LPARAM, BOOL&);
    void UpdateRoom();
};
