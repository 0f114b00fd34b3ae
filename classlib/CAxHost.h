#pragma once
// Hosting of ActiveX controls that dialog templates name by class id: the template's control
// window creates the control and in-place activates it when the thread has COM initialised
// (without COM it stays an empty window).
#include <windows.h>
#include <oaidl.h>
#include <unknwn.h>

// The class id that dialog templates name for the embedded web browser.
extern const char kWebBrowserClassName[];

// Makes the window classes that dialog templates use for ActiveX controls known to this
// module's templates (and windows made with this module's handle), so a template that lists
// one can be created. Each module registers its own class with its own procedure; dialogs of
// CAxDialogImpl call this themselves. Safe to call more than once.
bool AtlAxWinInit();
// The same for a window class named classIdText, a class id in braces: a window of that class
// hosts that control (a container made without a template, a test's host).
bool AtlAxWinRegisterClass(const char* classIdText);

// The control hosted in window (AddRef'd); S_FALSE with null when it holds none.
HRESULT AtlAxGetControl(HWND window, IUnknown** control);

// The host of a control, as its window answers the host message: the properties a control
// reads from its container before it shows a document.
struct IAxWinAmbientDispatch : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE put_AllowContextMenu(VARIANT_BOOL allow) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowContextMenu(VARIANT_BOOL* allow) = 0;
    // DOCHOSTUIFLAG bits the host gives an HTML document through GetHostInfo.
    virtual HRESULT STDMETHODCALLTYPE put_DocHostFlags(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocHostFlags(DWORD* flags) = 0;
};
extern const IID IID_IAxWinAmbientDispatch;
__CRT_UUID_DECL(IAxWinAmbientDispatch, 0x6b3c5d1e, 0x2f47, 0x4a8e, 0x9c, 0x10, 0x4b, 0x5a, 0x2d, 0x7e, 0x8f, 0x31)

// Sent to a host window: the hosted control's IUnknown, or the host's, as the result
// (not AddRef'd; null when there is none). Registered messages, the same in every module.
UINT AtlGetControlMessage();
UINT AtlGetHostMessage();
#define WM_ATLGETCONTROL (AtlGetControlMessage())
#define WM_ATLGETHOST (AtlGetHostMessage())

// The host of window (AddRef'd); S_FALSE with null when window hosts nothing.
HRESULT AtlAxGetHost(HWND window, IUnknown** host);

// Sent by the frame to the page child that holds the focus, with the address of a keyboard
// or mouse MSG in lParam: a host window lets its control translate it (Tab, Delete, Ctrl+C
// inside the control) and answers 1 when the control took it, else 0.
#define WM_FORWARDMSG 0x037F
