#pragma once
// One element of a document's model as page code sees it: IHTMLElement, and by its tag
// IHTMLInputElement, IHTMLButtonElement, IHTMLSelectElement or IHTMLTextAreaElement. The
// state lives in the model, so every object made for the same element shows the same
// value, checked, selected and disabled state.
#include <cstddef>
#include <memory>

#include "CComObjectImpl.h"
#include "HtmlModel.h"
#include "LiveObject.h"
#include "ScriptedStubs.h"

namespace scripted {

class CScriptedElement final
    : public CComObjectImpl<CScriptedElement, CComHeapLifetime, CStubHTMLElement, CStubHTMLInputElement,
                            CStubHTMLButtonElement, CStubHTMLSelectElement, CStubHTMLTextAreaElement> {
public:
    CScriptedElement(std::shared_ptr<HtmlModel> model, size_t index) : m_model(std::move(model)), m_index(index) {}
    CScriptedElement(const CScriptedElement&) = delete;
    CScriptedElement& operator=(const CScriptedElement&) = delete;

    // The interface of another tag is refused before the listed ids are answered.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT QueryOther(REFIID iid, void** object);
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;

    // IHTMLElement
    HRESULT STDMETHODCALLTYPE getAttribute(BSTR name, LONG flags, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE get_id(BSTR* id) override;
    HRESULT STDMETHODCALLTYPE get_tagName(BSTR* tag) override;

    // IHTMLInputElement, and where they have them the button, select and text area
    HRESULT STDMETHODCALLTYPE get_type(BSTR* type) override;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE put_value(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_value(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_disabled(VARIANT_BOOL disabled) override;
    HRESULT STDMETHODCALLTYPE get_disabled(VARIANT_BOOL* disabled) override;
    HRESULT STDMETHODCALLTYPE put_checked(VARIANT_BOOL checked) override;
    HRESULT STDMETHODCALLTYPE get_checked(VARIANT_BOOL* checked) override;

    // IHTMLSelectElement
    HRESULT STDMETHODCALLTYPE put_selectedIndex(LONG index) override;
    HRESULT STDMETHODCALLTYPE get_selectedIndex(LONG* index) override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* length) override;

private:
    // Deleted by the last Release.
    friend CComObjectImpl;
    ~CScriptedElement() = default;
    HtmlElement& Element() const { return m_model->elements[m_index]; }

    LiveObject m_live;
    std::shared_ptr<HtmlModel> m_model;
    size_t m_index;
};

}  // namespace scripted
