#pragma once
// An extra browser control of a page, kept by value in the page's item map under its control
// id. Its events reach the page's item operations with the id in front. The page owns it.
#include <windows.h>
#include <exdisp.h>

#include "CComPtr.h"
#include "CWebBrowserEventSink.h"

class CWBItem {
public:
    CWBItem() = default;
    CWBItem(const CWBItem&) = delete;
    CWBItem& operator=(const CWBItem&) = delete;
    ~CWBItem() { Close(); }

    // The browser of control id in owner, set up as the page's main browser is.
    void Setup(CWBDialog* owner, WORD controlId);
    void Close();

    CWBDialog* m_owner = nullptr;
    WORD m_controlId = 0;
    DWORD m_docHostFlags = 0;
    CComPtr<IWebBrowser2> m_browser;
    CWebBrowserEventSink m_sink{nullptr};
};
