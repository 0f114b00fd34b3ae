#pragma once
// A style sheet made by createStyleSheet: it only keeps the cssText a page gives it, in a
// record its document also holds, so the text stays readable after the page lets go.
#include <memory>
#include <string>

#include "LiveObject.h"
#include "ScriptedStubs.h"

namespace scripted {

class CScriptedStyleSheet final : public CStubHTMLStyleSheet {
public:
    explicit CScriptedStyleSheet(std::shared_ptr<std::wstring> cssText) : m_cssText(std::move(cssText)) {}
    CScriptedStyleSheet(const CScriptedStyleSheet&) = delete;
    CScriptedStyleSheet& operator=(const CScriptedStyleSheet&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE put_cssText(BSTR text) override;
    HRESULT STDMETHODCALLTYPE get_cssText(BSTR* text) override;

private:
    ~CScriptedStyleSheet() = default;

    LiveObject m_live;
    LONG m_refs = 1;
    std::shared_ptr<std::wstring> m_cssText;
};

}  // namespace scripted
