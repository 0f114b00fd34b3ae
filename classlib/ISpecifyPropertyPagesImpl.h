#pragma once
// A control without property pages: the list it gives is empty.
#include <ocidl.h>

class ISpecifyPropertyPagesImpl : public ISpecifyPropertyPages {
public:
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override
    {
        if (!pages)
            return E_POINTER;
        pages->cElems = 0;
        pages->pElems = nullptr;
        return S_OK;
    }
};
