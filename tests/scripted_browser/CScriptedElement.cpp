#include "CScriptedElement.h"

#include "Text.h"

namespace scripted {

namespace {

HRESULT ReturnText(const std::string& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = AllocBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnBool(bool value, VARIANT_BOOL* out)
{
    if (!out)
        return E_POINTER;
    *out = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

}  // namespace

HRESULT CScriptedElement::QueryInterface(REFIID iid, void** object)
{
    static const struct {
        const IID* iid;
        const char* tag;
    } kTagInterfaces[] = {
        {&__uuidof(IHTMLInputElement), "input"},
        {&__uuidof(IHTMLButtonElement), "button"},
        {&__uuidof(IHTMLSelectElement), "select"},
        {&__uuidof(IHTMLTextAreaElement), "textarea"},
    };
    for (const auto& entry : kTagInterfaces) {
        if (iid == *entry.iid && Element().tag != entry.tag) {
            if (!object)
                return E_POINTER;
            *object = nullptr;
            return E_NOINTERFACE;
        }
    }
    return CComObjectImpl::QueryInterface(iid, object);
}

HRESULT CScriptedElement::QueryOther(REFIID iid, void** object)
{
    if (iid != IID_IDispatch)
        return E_NOINTERFACE;
    *object = static_cast<IHTMLElement*>(this);
    AddRef();
    return S_OK;
}

HRESULT CScriptedElement::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CScriptedElement::getAttribute(BSTR name, LONG, VARIANT* value)
{
    if (!value)
        return E_POINTER;
    try {
        ::VariantInit(value);
        const std::string* found = Element().Attribute(AsciiLower(NarrowBstr(name)));
        if (!found) {
            value->vt = VT_NULL;
            return S_OK;
        }
        value->vt = VT_BSTR;
        value->bstrVal = AllocBstr(*found);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedElement::get_id(BSTR* id)
{
    try {
        return ReturnText(Element().AttributeOr("id"), id);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedElement::get_tagName(BSTR* tag)
{
    try {
        return ReturnText(UpperAscii(Element().tag), tag);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedElement::get_type(BSTR* type)
{
    try {
        const HtmlElement& element = Element();
        if (element.tag == "select")
            return ReturnText(element.Has("multiple") ? "select-multiple" : "select-one", type);
        if (element.tag == "textarea")
            return ReturnText("textarea", type);
        return ReturnText(element.InputType(), type);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedElement::get_name(BSTR* name)
{
    try {
        return ReturnText(Element().AttributeOr("name"), name);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedElement::put_value(BSTR value)
{
    try {
        if (Element().tag == "select")
            m_model->SelectValue(m_index, NarrowBstr(value));
        else
            Element().value = NarrowBstr(value);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedElement::get_value(BSTR* value)
{
    try {
        const HtmlElement& element = Element();
        if (element.tag == "select") {
            const int option = m_model->SelectedOption(m_index);
            return ReturnText(option >= 0 ? m_model->elements[size_t(option)].OptionValue() : std::string(), value);
        }
        const std::string type = element.InputType();
        const bool onByDefault =
            element.tag == "input" && (type == "checkbox" || type == "radio") && !element.Has("value");
        return ReturnText(onByDefault ? "on" : element.value, value);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CScriptedElement::put_disabled(VARIANT_BOOL disabled)
{
    Element().disabled = disabled != VARIANT_FALSE;
    return S_OK;
}

HRESULT CScriptedElement::get_disabled(VARIANT_BOOL* disabled)
{
    return ReturnBool(Element().disabled, disabled);
}

HRESULT CScriptedElement::put_checked(VARIANT_BOOL checked)
{
    Element().checked = checked != VARIANT_FALSE;
    return S_OK;
}

HRESULT CScriptedElement::get_checked(VARIANT_BOOL* checked)
{
    return ReturnBool(Element().checked, checked);
}

HRESULT CScriptedElement::put_selectedIndex(LONG index)
{
    const std::vector<size_t> options = m_model->OptionsOf(m_index);
    const bool multiple = Element().Has("multiple");
    for (size_t i = 0; i < options.size(); ++i) {
        HtmlElement& option = m_model->elements[options[i]];
        if (LONG(i) == index)
            option.selected = true;
        else if (!multiple || index < 0)
            option.selected = false;
    }
    return S_OK;
}

HRESULT CScriptedElement::get_selectedIndex(LONG* index)
{
    if (!index)
        return E_POINTER;
    const std::vector<size_t> options = m_model->OptionsOf(m_index);
    *index = -1;
    for (size_t i = 0; i < options.size(); ++i)
        if (m_model->elements[options[i]].selected) {
            *index = LONG(i);
            break;
        }
    return S_OK;
}

HRESULT CScriptedElement::get_length(LONG* length)
{
    if (!length)
        return E_POINTER;
    *length = LONG(m_model->OptionsOf(m_index).size());
    return S_OK;
}

}  // namespace scripted
