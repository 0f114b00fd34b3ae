#pragma once
// A style sheet made by createStyleSheet: it only keeps the cssText a page gives it, in a
// record its document also holds, so the text stays readable after the page lets go.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "CComObjectImpl.h"
#include "LiveObject.h"
#include "ScriptedStubs.h"

namespace scripted {

// The style sheets of one document's content, shared by the document and its sheet objects.
struct StyleSheetSet {
    std::vector<std::wstring> sheets;  // cssText, in the order the sheets were made
    int dumpNumber = 0;                // the document's number in the run record, 0 for none

    std::vector<std::string> Texts() const;  // CP932
    // Rewrites the run record's .css file of the document.
    void Dump() const;
};

class CScriptedStyleSheet final
    : public CComObjectImpl<CScriptedStyleSheet, CComHeapLifetime, CStubHTMLStyleSheet> {
public:
    CScriptedStyleSheet(std::shared_ptr<StyleSheetSet> set, size_t index) : m_set(std::move(set)), m_index(index) {}
    CScriptedStyleSheet(const CScriptedStyleSheet&) = delete;
    CScriptedStyleSheet& operator=(const CScriptedStyleSheet&) = delete;

    // IDispatch: the base of IHTMLStyleSheet.
    HRESULT QueryOther(REFIID iid, void** object);
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE put_cssText(BSTR text) override;
    HRESULT STDMETHODCALLTYPE get_cssText(BSTR* text) override;

private:
    // Deleted by the last Release.
    friend CComObjectImpl;
    ~CScriptedStyleSheet() = default;

    LiveObject m_live;
    std::shared_ptr<StyleSheetSet> m_set;
    size_t m_index;
};

}  // namespace scripted
