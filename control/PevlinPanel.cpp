#include "PevlinPanel.h"

#include <commctrl.h>

#include "AxPevlinResource.h"

namespace {

void ShowItem(HWND panel, int id, bool show)
{
    if (HWND item = ::GetDlgItem(panel, id))
        ::ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

}  // namespace

void SetStatus(PevlinState* state)
{
    if (!state || !state->panelWindow)
        return;
    ::SetDlgItemTextA(state->panelWindow, IDC_PEVLIN_STATUS, state->statusText);
    ::SendDlgItemMessageA(state->panelWindow, IDC_PEVLIN_PROGRESS, PBM_SETPOS, WPARAM(state->progress), 0);
}

void ShowAbortButton(PevlinState* state, bool show)
{
    if (state && state->panelWindow)
        ShowItem(state->panelWindow, IDC_PEVLIN_ABORT, show);
}

void ShowProfileChooser(PevlinState* state, bool show)
{
    if (!state || !state->panelWindow)
        return;
    for (int id : {IDC_PEVLIN_CHOOSER_FRAME, IDC_PEVLIN_CHOOSER_TEXT, IDC_PEVLIN_PROFILES, IDC_PEVLIN_CONNECT})
        ShowItem(state->panelWindow, id, show);
}

void FillProfileList(PevlinState* state)
{
    if (!state || !state->panelWindow)
        return;
    HWND list = ::GetDlgItem(state->panelWindow, IDC_PEVLIN_PROFILES);
    if (!list)
        return;
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < state->profileList.GetSize(); ++i)
        ::SendMessageA(list, LB_INSERTSTRING, WPARAM(i), LPARAM(state->profileList[i].GetString()));
    ::SendMessageA(list, LB_SETCURSEL, 0, 0);
}
