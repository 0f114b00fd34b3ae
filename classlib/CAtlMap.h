#pragma once
// A hash map with chained buckets. Nodes and buckets come from the process heap, so a
// node that one module inserted can be removed by another module's copy of this code.
#include <windows.h>
#include <new>
#include <utility>

#include "CAtlException.h"
#include "CStringT.h"

typedef struct __POSITION {}* POSITION;

template <typename K>
struct CElementTraits {
    static UINT Hash(const K& key) { return UINT(key); }
};

template <typename T>
struct CElementTraits<CStringT<T>> {
    // FNV-1a over the bytes: keys compare byte for byte, case-sensitively.
    static UINT Hash(const CStringT<T>& key)
    {
        UINT hash = 2166136261u;
        const BYTE* p = reinterpret_cast<const BYTE*>(key.GetString());
        for (int i = 0, n = key.GetLength() * int(sizeof(T)); i < n; ++i)
            hash = (hash ^ p[i]) * 16777619u;
        return hash;
    }
};

template <typename K, typename V>
class CAtlMap {
public:
    class CPair {
    public:
        const K m_key;
        V m_value;

    protected:
        CPair(const K& key) : m_key(key), m_value() {}
        friend class CAtlMap;
    };

    CAtlMap() = default;
    CAtlMap(const CAtlMap&) = delete;
    CAtlMap& operator=(const CAtlMap&) = delete;
    ~CAtlMap()
    {
        RemoveAll();
        if (m_buckets)
            HeapFree(GetProcessHeap(), 0, m_buckets);
    }

    size_t GetCount() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    bool InitHashTable(UINT bins)
    {
        if (m_count || bins == 0)
            return false;
        if (m_buckets)
            HeapFree(GetProcessHeap(), 0, m_buckets);
        m_buckets = nullptr;
        m_bins = bins;
        return true;
    }

    bool Lookup(const K& key, V& value) const
    {
        const CPair* pair = Lookup(key);
        if (!pair)
            return false;
        value = pair->m_value;
        return true;
    }

    CPair* Lookup(const K& key) const
    {
        if (!m_buckets)
            return nullptr;
        for (Node* node = m_buckets[Bin(key)]; node; node = node->next)
            if (node->m_key == key)
                return node;
        return nullptr;
    }

    POSITION SetAt(const K& key, const V& value)
    {
        Node* node = FindOrInsert(key);
        node->m_value = value;
        return POSITION(node);
    }

    V& operator[](const K& key) { return FindOrInsert(key)->m_value; }

    bool RemoveKey(const K& key)
    {
        if (!m_buckets)
            return false;
        for (Node** link = &m_buckets[Bin(key)]; *link; link = &(*link)->next) {
            if ((*link)->m_key == key) {
                Node* node = *link;
                *link = node->next;
                FreeNode(node);
                return true;
            }
        }
        return false;
    }

    void RemoveAll()
    {
        if (!m_buckets)
            return;
        for (UINT i = 0; i < m_bins; ++i) {
            for (Node* node = m_buckets[i]; node;) {
                Node* next = node->next;
                FreeNode(node);
                node = next;
            }
            m_buckets[i] = nullptr;
        }
    }

    POSITION GetStartPosition() const
    {
        if (!m_buckets)
            return nullptr;
        for (UINT i = 0; i < m_bins; ++i)
            if (m_buckets[i])
                return POSITION(m_buckets[i]);
        return nullptr;
    }

    CPair* GetNext(POSITION& pos) const
    {
        Node* node = reinterpret_cast<Node*>(pos);
        pos = POSITION(NextNode(node));
        return node;
    }

    void GetNextAssoc(POSITION& pos, K& key, V& value) const
    {
        CPair* pair = GetNext(pos);
        key = pair->m_key;
        value = pair->m_value;
    }

private:
    struct Node : CPair {
        Node(const K& key, UINT h) : CPair(key), hash(h) {}
        Node* next = nullptr;
        UINT hash;
    };

    UINT Bin(const K& key) const { return CElementTraits<K>::Hash(key) % m_bins; }

    Node* NextNode(Node* node) const
    {
        if (node->next)
            return node->next;
        for (UINT i = node->hash % m_bins + 1; i < m_bins; ++i)
            if (m_buckets[i])
                return m_buckets[i];
        return nullptr;
    }

    Node* FindOrInsert(const K& key)
    {
        if (CPair* pair = Lookup(key))
            return static_cast<Node*>(pair);
        if (!m_buckets) {
            m_buckets = static_cast<Node**>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Node*) * m_bins));
            if (!m_buckets)
                AtlThrow(E_OUTOFMEMORY);
        }
        void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(Node));
        if (!memory)
            AtlThrow(E_OUTOFMEMORY);
        UINT hash = CElementTraits<K>::Hash(key);
        Node* node = new (memory) Node(key, hash);
        UINT bin = hash % m_bins;
        node->next = m_buckets[bin];
        m_buckets[bin] = node;
        ++m_count;
        return node;
    }

    void FreeNode(Node* node)
    {
        node->~Node();
        HeapFree(GetProcessHeap(), 0, node);
        --m_count;
    }

    Node** m_buckets = nullptr;
    UINT m_bins = 67;
    size_t m_count = 0;
};
