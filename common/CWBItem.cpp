#include "CWBItem.h"

#include "CAxHost.h"
#include "CWBDialog.h"

void CWBItem::Setup(CWBDialog* owner, WORD controlId)
{
    m_owner = owner;
    m_controlId = controlId;
    m_sink.SetTarget(owner, controlId);
    CComPtr<IUnknown> control;
    HWND window = owner->GetDlgItem(controlId);
    if (AtlAxGetControl(window, &control) != S_OK || !control)
        return;
    control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_browser));
    SetBrowserHostAmbients(window, m_docHostFlags);
    if (m_browser) {
        m_sink.Advise(m_browser);
        NavigateToBlank(m_browser);
    }
}

void CWBItem::Close()
{
    m_sink.Unadvise();
    m_browser.Release();
}
