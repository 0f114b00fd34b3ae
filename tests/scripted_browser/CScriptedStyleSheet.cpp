#include "CScriptedStyleSheet.h"

#include <mutex>

#include "BrowserRegistry.h"
#include "DocumentDump.h"
#include "Text.h"

namespace scripted {

std::vector<std::string> StyleSheetSet::Texts() const
{
    std::vector<std::string> texts;
    for (const std::wstring& sheet : sheets)
        texts.push_back(Narrow(sheet.data(), int(sheet.size())));
    return texts;
}

void StyleSheetSet::Dump() const
{
    if (dumpNumber == 0)
        return;
    std::string css;
    for (const std::string& text : Texts()) {
        if (!css.empty())
            css += "\n";
        css += text;
    }
    DumpStyleSheets(dumpNumber, css);
}

HRESULT CScriptedStyleSheet::QueryOther(REFIID iid, void** object)
{
    if (iid != IID_IDispatch)
        return E_NOINTERFACE;
    *object = static_cast<IHTMLStyleSheet*>(this);
    AddRef();
    return S_OK;
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
        std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
        m_set->sheets[m_index].assign(text ? text : L"", text ? ::SysStringLen(text) : 0);
        m_set->Dump();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedStyleSheet::get_cssText(BSTR* text)
{
    if (!text)
        return E_POINTER;
    std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
    const std::wstring& css = m_set->sheets[m_index];
    *text = ::SysAllocStringLen(css.data(), UINT(css.size()));
    return *text || css.empty() ? S_OK : E_OUTOFMEMORY;
}

}  // namespace scripted
