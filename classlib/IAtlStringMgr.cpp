#include "IAtlStringMgr.h"

namespace {

class CProcessHeapStringMgr final : public IAtlStringMgr {
public:
    CStringData* Allocate(int nAllocLength, int nCharSize) override
    {
        return StringHeap::Allocate(nAllocLength, nCharSize);
    }
    void Free(CStringData* pData) override { StringHeap::Free(pData); }
    CStringData* Reallocate(CStringData* pData, int nAllocLength, int nCharSize) override
    {
        return StringHeap::Reallocate(pData, nAllocLength, nCharSize);
    }
};

}  // namespace

IAtlStringMgr* AtlGetStringManager()
{
    static CProcessHeapStringMgr manager;
    return &manager;
}
