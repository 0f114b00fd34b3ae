#pragma once
// A growable array. Its storage comes from the process heap, so an array that one
// module filled can be emptied by another (the page context is shared that way).
#include <windows.h>
#include <new>
#include <utility>

#include "CAtlException.h"

template <typename T>
class CSimpleArray {
public:
    CSimpleArray() = default;
    CSimpleArray(const CSimpleArray& other)
    {
        for (int i = 0; i < other.m_nSize; ++i)
            Add(other.m_aT[i]);
    }
    CSimpleArray& operator=(const CSimpleArray& other)
    {
        if (this != &other) {
            RemoveAll();
            for (int i = 0; i < other.m_nSize; ++i)
                Add(other.m_aT[i]);
        }
        return *this;
    }
    ~CSimpleArray() { RemoveAll(); }

    int GetSize() const { return m_nSize; }
    T& operator[](int index) { return m_aT[index]; }
    const T& operator[](int index) const { return m_aT[index]; }
    T* GetData() const { return m_aT; }

    // Growth: 1, then doubling. False when the array cannot grow.
    bool Add(const T& value)
    {
        if (m_nSize == m_nAllocSize && !Grow())
            return false;
        new (&m_aT[m_nSize]) T(value);
        ++m_nSize;
        return true;
    }

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
    bool Grow()
    {
        int capacity = m_nAllocSize == 0 ? 1 : m_nAllocSize * 2;
        if (capacity <= m_nAllocSize || SIZE_T(capacity) > SIZE_T(-1) / sizeof(T))
            return false;
        T* items = static_cast<T*>(HeapAlloc(GetProcessHeap(), 0, sizeof(T) * SIZE_T(capacity)));
        if (!items)
            return false;
        for (int i = 0; i < m_nSize; ++i) {
            new (&items[i]) T(std::move(m_aT[i]));
            m_aT[i].~T();
        }
        if (m_aT)
            HeapFree(GetProcessHeap(), 0, m_aT);
        m_aT = items;
        m_nAllocSize = capacity;
        return true;
    }

    T* m_aT = nullptr;
    int m_nSize = 0;
    int m_nAllocSize = 0;
};
