#pragma once
// A growable array. Its storage comes from the process heap, so an array that one
// module filled can be emptied by another (the page context is shared that way).
// Elements are constructed at m_aT + i, never at &m_aT[i]: owners such as CComPtr or
// CHandle overload operator& to release what they hold, which on raw storage is garbage.
// Like CString and CAtlMap, it throws CAtlException(E_OUTOFMEMORY) when it cannot grow.
#include <windows.h>
#include <climits>
#include <new>
#include <utility>

#include "CAtlException.h"

template <typename T>
class CSimpleArray {
public:
    CSimpleArray() = default;
    CSimpleArray(const CSimpleArray& other)
    {
        // A throw from here on would skip the destructor: give back what was copied.
        try {
            CopyFrom(other);
        } catch (...) {
            RemoveAll();
            throw;
        }
    }
    // On a throw the array is left empty.
    CSimpleArray& operator=(const CSimpleArray& other)
    {
        if (this != &other) {
            RemoveAll();
            try {
                CopyFrom(other);
            } catch (...) {
                RemoveAll();
                throw;
            }
        }
        return *this;
    }
    ~CSimpleArray() { RemoveAll(); }

    int GetSize() const { return m_nSize; }
    T& operator[](int index) { return m_aT[index]; }
    const T& operator[](int index) const { return m_aT[index]; }
    T* GetData() const { return m_aT; }

    // Growth: 1, then doubling. Always true (callers may test it); throws when the array
    // cannot grow, and then the array is unchanged. value may be one of this array's own
    // elements: it is copied before the old storage goes.
    bool Add(const T& value) { return Append(value); }
    bool Add(T&& value) { return Append(std::move(value)); }

    int Find(const T& value) const
    {
        for (int i = 0; i < m_nSize; ++i)
            if (m_aT[i] == value)
                return i;
        return -1;
    }

    bool Remove(const T& value)
    {
        int index = Find(value);
        return index >= 0 && RemoveAt(index);
    }

    bool RemoveAt(int index)
    {
        if (index < 0 || index >= m_nSize)
            return false;
        for (int i = index; i + 1 < m_nSize; ++i)
            m_aT[i] = std::move(m_aT[i + 1]);
        m_aT[m_nSize - 1].~T();
        --m_nSize;
        return true;
    }

    bool SetAtIndex(int index, const T& value)
    {
        if (index < 0 || index >= m_nSize)
            return false;
        m_aT[index] = value;
        return true;
    }

    void RemoveAll()
    {
        for (int i = 0; i < m_nSize; ++i)
            m_aT[i].~T();
        if (m_aT)
            HeapFree(GetProcessHeap(), 0, m_aT);
        m_aT = nullptr;
        m_nSize = m_nAllocSize = 0;
    }

private:
    template <typename U>
    bool Append(U&& value)
    {
        if (m_nSize < m_nAllocSize) {
            new (m_aT + m_nSize) T(std::forward<U>(value));
        } else {
            if (m_nAllocSize > INT_MAX / 2)
                AtlThrow(E_OUTOFMEMORY);
            const int capacity = m_nAllocSize == 0 ? 1 : m_nAllocSize * 2;
            T* items = Allocate(capacity);
            try {
                new (items + m_nSize) T(std::forward<U>(value));
            } catch (...) {
                HeapFree(GetProcessHeap(), 0, items);
                throw;
            }
            MoveInto(items, capacity);
        }
        ++m_nSize;
        return true;
    }

    void CopyFrom(const CSimpleArray& other)
    {
        for (int i = 0; i < other.m_nSize; ++i)
            Add(other.m_aT[i]);
    }

    static T* Allocate(int capacity)
    {
        if (capacity <= 0 || SIZE_T(capacity) > SIZE_T(-1) / sizeof(T))
            AtlThrow(E_OUTOFMEMORY);
        T* items = static_cast<T*>(HeapAlloc(GetProcessHeap(), 0, sizeof(T) * SIZE_T(capacity)));
        if (!items)
            AtlThrow(E_OUTOFMEMORY);
        return items;
    }

    // Moves every element into items and frees the old storage.
    void MoveInto(T* items, int capacity)
    {
        for (int i = 0; i < m_nSize; ++i) {
            new (items + i) T(std::move(m_aT[i]));
            m_aT[i].~T();
        }
        if (m_aT)
            HeapFree(GetProcessHeap(), 0, m_aT);
        m_aT = items;
        m_nAllocSize = capacity;
    }

    T* m_aT = nullptr;
    int m_nSize = 0;
    int m_nAllocSize = 0;
};
