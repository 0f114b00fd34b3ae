#include "CScriptedElementCollection.h"

#include "CScriptedElement.h"
#include "Text.h"

namespace scripted {

namespace {

// The number a VARIANT holds, when it holds one.
bool AsIndex(const VARIANT& value, long* index)
{
    VARIANT number;
    ::VariantInit(&number);
    if (value.vt == VT_EMPTY || value.vt == VT_ERROR || value.vt == VT_NULL || value.vt == VT_BSTR ||
        FAILED(::VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_I4)))
        return false;
    *index = number.lVal;
    return true;
}

}  // namespace

CScriptedElementCollection::CScriptedElementCollection(std::shared_ptr<HtmlModel> model) : m_model(std::move(model))
{
    for (size_t i = 0; i < m_model->elements.size(); ++i)
        m_indices.push_back(i);
}

HRESULT CScriptedElementCollection::QueryOther(REFIID iid, void** object)
{
    if (iid != IID_IDispatch)
        return E_NOINTERFACE;
    *object = static_cast<IHTMLElementCollection*>(this);
    AddRef();
    return S_OK;
}

HRESULT CScriptedElementCollection::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CScriptedElementCollection::get_length(LONG* length)
{
    if (!length)
        return E_POINTER;
    *length = LONG(m_indices.size());
    return S_OK;
}

HRESULT CScriptedElementCollection::ElementAt(size_t position, IDispatch** element) const
{
    *element = static_cast<IHTMLElement*>(new CScriptedElement(m_model, m_indices[position]));
    return S_OK;
}

HRESULT CScriptedElementCollection::item(VARIANT name, VARIANT index, IDispatch** element)
{
    if (!element)
        return E_POINTER;
    *element = nullptr;
    try {
        long position = 0;
        if (AsIndex(name, &position))
            return position >= 0 && size_t(position) < m_indices.size() ? ElementAt(size_t(position), element) : S_OK;
        const std::string wanted = VariantText(&name);
        if (wanted.empty())
            return S_OK;
        std::vector<size_t> matches;
        for (size_t i = 0; i < m_indices.size(); ++i)
            if (m_model->elements[m_indices[i]].Answers(wanted))
                matches.push_back(i);
        if (matches.empty())
            return S_OK;
        long which = 0;
        if (AsIndex(index, &which))
            return which >= 0 && size_t(which) < matches.size() ? ElementAt(matches[size_t(which)], element) : S_OK;
        if (matches.size() == 1)
            return ElementAt(matches[0], element);
        std::vector<size_t> named;
        for (size_t match : matches)
            named.push_back(m_indices[match]);
        *element = static_cast<IHTMLElementCollection*>(new CScriptedElementCollection(m_model, std::move(named)));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace scripted
