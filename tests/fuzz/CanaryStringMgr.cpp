#include "CanaryStringMgr.h"

#include <cstring>

#include "GuardedBytes.h"

namespace {

const size_t kGuardBytes = 16;
const unsigned char kFront = 0xA5;
const unsigned char kBack = 0x5A;

LONG g_faults = 0;

SIZE_T BufferBytes(int allocLength, int charSize)
{
    return sizeof(CStringData) + SIZE_T(allocLength + 1) * SIZE_T(charSize);
}

unsigned char* FrontOf(CStringData* data)
{
    return reinterpret_cast<unsigned char*>(data) - kGuardBytes;
}

bool Intact(const unsigned char* bytes, unsigned char value)
{
    for (size_t i = 0; i < kGuardBytes; ++i)
        if (bytes[i] != value)
            return false;
    return true;
}

class CCanaryStringMgr final : public IAtlStringMgr {
public:
    CStringData* Allocate(int nAllocLength, int nCharSize) override
    {
        auto* block = static_cast<unsigned char*>(
            HeapAlloc(GetProcessHeap(), 0, 2 * kGuardBytes + BufferBytes(nAllocLength, nCharSize)));
        if (!block)
            return nullptr;
        auto* data = reinterpret_cast<CStringData*>(block + kGuardBytes);
        data->pStringMgr = this;
        data->nDataLength = 0;
        data->nAllocLength = nAllocLength;
        data->nRefs = 1;
        Arm(data, nCharSize);
        return data;
    }

    void Free(CStringData* pData) override
    {
        if (Check(pData))
            HeapFree(GetProcessHeap(), 0, FrontOf(pData));
    }

    CStringData* Reallocate(CStringData* pData, int nAllocLength, int nCharSize) override
    {
        if (!Check(pData))
            return nullptr;
        auto* block = static_cast<unsigned char*>(HeapReAlloc(GetProcessHeap(), 0, FrontOf(pData),
                                                              2 * kGuardBytes + BufferBytes(nAllocLength, nCharSize)));
        if (!block)
            return nullptr;
        auto* data = reinterpret_cast<CStringData*>(block + kGuardBytes);
        data->nAllocLength = nAllocLength;
        Arm(data, nCharSize);
        return data;
    }

private:
    static unsigned char* BackOf(CStringData* data, int charSize)
    {
        return reinterpret_cast<unsigned char*>(data) + BufferBytes(data->nAllocLength, charSize);
    }

    // The header does not say which string kind a buffer is for; the first front guard byte
    // does, so the back guard is found again at Free.
    static void Arm(CStringData* data, int charSize)
    {
        unsigned char* front = FrontOf(data);
        std::memset(front, kFront, kGuardBytes);
        front[0] = (unsigned char)(kFront ^ charSize);
        std::memset(BackOf(data, charSize), kBack, kGuardBytes);
    }

    static bool Check(CStringData* data)
    {
        const unsigned char* front = FrontOf(data);
        const int charSize = front[0] ^ kFront;
        bool sound = charSize == 1 || charSize == 2;
        for (size_t i = 1; sound && i < kGuardBytes; ++i)
            sound = front[i] == kFront;
        sound = sound && data->nAllocLength >= 0 && data->nDataLength >= 0 &&
                data->nDataLength <= data->nAllocLength && Intact(BackOf(data, charSize), kBack);
        if (!sound)
            InterlockedIncrement(&g_faults);
        return sound;
    }
};

class CGuardPageStringMgr final : public IAtlStringMgr {
public:
    CStringData* Allocate(int nAllocLength, int nCharSize) override
    {
        auto* data = static_cast<CStringData*>(AllocateBeforeGuard(BufferBytes(nAllocLength, nCharSize)));
        if (!data)
            return nullptr;
        data->pStringMgr = this;
        data->nDataLength = 0;
        data->nAllocLength = nAllocLength;
        data->nRefs = 1;
        return data;
    }

    void Free(CStringData* pData) override { FreeBeforeGuard(pData); }

    CStringData* Reallocate(CStringData* pData, int nAllocLength, int nCharSize) override
    {
        CStringData* data = Allocate(nAllocLength, nCharSize);
        if (!data)
            return nullptr;
        // The whole old buffer, as a reallocation in place would keep it (a caller may have
        // written behind the length through GetBuffer).
        const int kept = pData->nAllocLength < nAllocLength ? pData->nAllocLength : nAllocLength;
        std::memcpy(data->data(), pData->data(), SIZE_T(kept + 1) * SIZE_T(nCharSize));
        data->nDataLength = pData->nDataLength < nAllocLength ? pData->nDataLength : nAllocLength;
        Free(pData);
        return data;
    }
};

}  // namespace

IAtlStringMgr* CanaryStringManager()
{
    static CCanaryStringMgr manager;
    return &manager;
}

long CanaryFaults()
{
    return InterlockedCompareExchange(&g_faults, 0, 0);
}

IAtlStringMgr* GuardPageStringManager()
{
    static CGuardPageStringMgr manager;
    return &manager;
}

void PlaceAtGuardPage(CString& text)
{
    text.SetManager(GuardPageStringManager());
}
