#pragma once
// A string's buffer remembers the manager that allocated it, and is always freed and
// grown through that manager. A string written into a structure shared between the
// programs and the core library is thus returned to the allocator of the module that
// made it, whichever module releases it.
#include <windows.h>

class IAtlStringMgr;

struct CStringData {
    IAtlStringMgr* pStringMgr;
    int nDataLength;   // characters, without the terminator
    int nAllocLength;  // characters, without the terminator
    long nRefs;        // buffers are never shared: always 1 while alive

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

// This module's own manager: the class library is a static library, so each
// deliverable links its own instance.
IAtlStringMgr* AtlGetStringManager();
