#include "CScriptedStyleSheet.h"

namespace scripted {

HRESULT CScriptedStyleSheet::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IHTMLStyleSheet)) {
        *object = static_cast<IHTMLStyleSheet*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CScriptedStyleSheet::AddRef()
{
    return ULONG(::InterlockedIncrement(&m_refs));
}

ULONG CScriptedStyleSheet::Release()
{
    const LONG refs = ::InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return ULONG(refs);
}

HRESULT CScriptedStyleSheet::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CScriptedStyleSheet::put_cssText(BSTR text)
{
    try {
        m_cssText->assign(text ? text : L"", text ? ::SysStringLen(text) : 0);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedStyleSheet::get_cssText(BSTR* text)
{
    if (!text)
        return E_POINTER;
    *text = ::SysAllocStringLen(m_cssText->data(), UINT(m_cssText->size()));
    return *text || m_cssText->empty() ? S_OK : E_OUTOFMEMORY;
}

}  // namespace scripted
