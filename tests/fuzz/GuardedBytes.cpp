#include "GuardedBytes.h"

#include <cstring>

#include "CAtlException.h"

namespace {

DWORD PageSize()
{
    static const DWORD size = [] {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return info.dwPageSize;
    }();
    return size;
}

}  // namespace

void* AllocateBeforeGuard(size_t size)
{
    const size_t page = PageSize();
    const size_t usable = (size + page - 1) / page * page;
    char* region = static_cast<char*>(VirtualAlloc(nullptr, usable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!region)
        return nullptr;
    DWORD old = 0;
    if (!VirtualProtect(region + usable, page, PAGE_NOACCESS, &old)) {
        VirtualFree(region, 0, MEM_RELEASE);
        return nullptr;
    }
    return region + usable - size;
}

void FreeBeforeGuard(void* block)
{
    if (!block)
        return;
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(block, &info, sizeof info))
        VirtualFree(info.AllocationBase, 0, MEM_RELEASE);
}

CGuardedBytes::CGuardedBytes(const std::string& bytes, bool terminated)
    : m_size(DWORD(bytes.size()))
{
    const size_t total = bytes.size() + (terminated ? 1 : 0);
    // A zero-byte block still gets a page of its own, so its "end" is the guard itself.
    char* block = static_cast<char*>(AllocateBeforeGuard(total));
    if (!block)
        AtlThrow(E_OUTOFMEMORY);
    std::memcpy(block, bytes.data(), bytes.size());
    if (terminated)
        block[bytes.size()] = '\0';
    m_region = block;
    m_data = block;
}

CGuardedBytes::~CGuardedBytes()
{
    FreeBeforeGuard(m_region);
}
