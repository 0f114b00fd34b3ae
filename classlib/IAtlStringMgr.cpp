#include "IAtlStringMgr.h"

#include "CAtlException.h"

namespace {

// The process heap, not the C runtime's heap: any module can reach it, and the
// manager pointer still routes the call back through the allocating module's code.
class CProcessHeapStringMgr final : public IAtlStringMgr {
public:
    CStringData* Allocate(int nAllocLength, int nCharSize) override
    {
        SIZE_T bytes = sizeof(CStringData) + SIZE_T(nAllocLength + 1) * SIZE_T(nCharSize);
        auto* data = static_cast<CStringData*>(HeapAlloc(GetProcessHeap(), 0, bytes));
        if (!data)
            return nullptr;
        data->pStringMgr = this;
        data->nDataLength = 0;
        data->nAllocLength = nAllocLength;
        data->nRefs = 1;
        return data;
    }

    void Free(CStringData* pData) override { HeapFree(GetProcessHeap(), 0, pData); }

    CStringData* Reallocate(CStringData* pData, int nAllocLength, int nCharSize) override
    {
        SIZE_T bytes = sizeof(CStringData) + SIZE_T(nAllocLength + 1) * SIZE_T(nCharSize);
        auto* data = static_cast<CStringData*>(HeapReAlloc(GetProcessHeap(), 0, pData, bytes));
        if (!data)
            return nullptr;
        data->nAllocLength = nAllocLength;
        return data;
    }
};

}  // namespace

IAtlStringMgr* AtlGetStringManager()
{
    static CProcessHeapStringMgr manager;
    return &manager;
}
