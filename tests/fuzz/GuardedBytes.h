#pragma once
// Bytes that end exactly where a no-access page begins, so a read one byte past their end
// faults at once instead of reading neighbouring heap memory.
#include <windows.h>

#include <string>

class CGuardedBytes {
public:
    // terminated: one NUL is placed after the bytes, as the last byte before the guard.
    CGuardedBytes(const std::string& bytes, bool terminated);
    ~CGuardedBytes();
    CGuardedBytes(const CGuardedBytes&) = delete;
    CGuardedBytes& operator=(const CGuardedBytes&) = delete;

    const char* Data() const { return m_data; }
    DWORD Size() const { return m_size; }

private:
    void* m_region = nullptr;
    const char* m_data = nullptr;
    DWORD m_size = 0;
};

// Memory of `size` bytes whose end touches a no-access page; null when it cannot be had.
// FreeBeforeGuard releases it.
void* AllocateBeforeGuard(size_t size);
void FreeBeforeGuard(void* block);
