#pragma once
// A document's element collection ("all", or the elements sharing one name): item finds
// by index, or by name or id, as a browser does; several matches give a sub-collection.
#include <cstddef>
#include <memory>
#include <vector>

#include "CComObjectImpl.h"
#include "HtmlModel.h"
#include "LiveObject.h"
#include "ScriptedStubs.h"

namespace scripted {

class CScriptedElementCollection final
    : public CComObjectImpl<CScriptedElementCollection, CComHeapLifetime, CStubHTMLElementCollection> {
public:
    // Every element of the model.
    explicit CScriptedElementCollection(std::shared_ptr<HtmlModel> model);
    CScriptedElementCollection(std::shared_ptr<HtmlModel> model, std::vector<size_t> indices)
        : m_model(std::move(model)), m_indices(std::move(indices))
    {
    }
    CScriptedElementCollection(const CScriptedElementCollection&) = delete;
    CScriptedElementCollection& operator=(const CScriptedElementCollection&) = delete;

    // IDispatch: the base of IHTMLElementCollection.
    HRESULT QueryOther(REFIID iid, void** object);
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* length) override;
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** element) override;

private:
    // Deleted by the last Release.
    friend CComObjectImpl;
    ~CScriptedElementCollection() = default;
    HRESULT ElementAt(size_t position, IDispatch** element) const;

    LiveObject m_live;
    std::shared_ptr<HtmlModel> m_model;
    std::vector<size_t> m_indices;
};

}  // namespace scripted
