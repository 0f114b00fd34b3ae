#pragma once
// A string's buffer comes from the process heap and carries no pointer into the code of the
// module that made it: any module frees and grows it with the same few lines, so a string
// written into a structure shared between the programs and the core library may be released
// after the module that made it is unloaded. Only a string explicitly given a manager of its
// own (CStringT::SetManager) calls back through that manager, which must then outlive it.
#include <windows.h>

class IAtlStringMgr;

struct CStringData {
    IAtlStringMgr* pStringMgr;  // null: a process-heap buffer, freed by whoever holds it
    int nDataLength;            // characters, without the terminator
    int nAllocLength;           // characters, without the terminator
    long nRefs;                 // buffers are never shared: always 1 while alive

    void* data() { return this + 1; }
};

class IAtlStringMgr {
public:
    virtual CStringData* Allocate(int nAllocLength, int nCharSize) = 0;
    virtual void Free(CStringData* pData) = 0;
    virtual CStringData* Reallocate(CStringData* pData, int nAllocLength, int nCharSize) = 0;

protected:
    ~IAtlStringMgr() = default;
};

// The process-heap buffers, inline so that no module's copy is needed to free one. Null
// when the heap has no room (or the size does not fit a SIZE_T).
namespace StringHeap {

inline SIZE_T Bytes(int nAllocLength, int nCharSize)
{
    if (nAllocLength < 0 || SIZE_T(nAllocLength) + 1 > (SIZE_T(-1) - sizeof(CStringData)) / SIZE_T(nCharSize))
        return 0;
    return sizeof(CStringData) + (SIZE_T(nAllocLength) + 1) * SIZE_T(nCharSize);
}

inline CStringData* Allocate(int nAllocLength, int nCharSize)
{
    const SIZE_T bytes = Bytes(nAllocLength, nCharSize);
    auto* data = bytes ? static_cast<CStringData*>(HeapAlloc(GetProcessHeap(), 0, bytes)) : nullptr;
    if (!data)
        return nullptr;
    data->pStringMgr = nullptr;
    data->nDataLength = 0;
    data->nAllocLength = nAllocLength;
    data->nRefs = 1;
    return data;
}

inline void Free(CStringData* pData)
{
    HeapFree(GetProcessHeap(), 0, pData);
}

inline CStringData* Reallocate(CStringData* pData, int nAllocLength, int nCharSize)
{
    const SIZE_T bytes = Bytes(nAllocLength, nCharSize);
    auto* data = bytes ? static_cast<CStringData*>(HeapReAlloc(GetProcessHeap(), 0, pData, bytes)) : nullptr;
    if (!data)
        return nullptr;
    data->nAllocLength = nAllocLength;
    return data;
}

}  // namespace StringHeap

// The process-heap manager, the same in every module: the manager of every string that was
// not given one of its own.
IAtlStringMgr* AtlGetStringManager();
