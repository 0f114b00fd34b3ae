#pragma once
// COM interface pointers: one reference held, released on destruction.
#include <windows.h>
#include <objbase.h>

#include <memory>

template <typename T>
class CComPtr {
public:
    CComPtr() = default;
    CComPtr(T* p) : p(p)
    {
        if (p)
            p->AddRef();
    }
    CComPtr(const CComPtr& other) : CComPtr(other.p) {}
    CComPtr(CComPtr&& other) noexcept : p(other.p) { other.p = nullptr; }
    ~CComPtr() { Release(); }

    CComPtr& operator=(T* other)
    {
        if (other)
            other->AddRef();
        Release();
        p = other;
        return *this;
    }
    CComPtr& operator=(const CComPtr& other) { return *this = other.p; }
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != std::addressof(other)) {
            Release();
            p = other.p;
            other.p = nullptr;
        }
        return *this;
    }

    operator T*() const { return p; }
    T* operator->() const { return p; }
    // Releases what it held first, so an output parameter never leaks the old pointer.
    T** operator&()
    {
        Release();
        return &p;
    }
    bool operator!() const { return p == nullptr; }

    void Release()
    {
        T* old = p;
        p = nullptr;
        if (old)
            old->Release();
    }
    void Attach(T* other)
    {
        Release();
        p = other;
    }
    T* Detach()
    {
        T* old = p;
        p = nullptr;
        return old;
    }
    HRESULT CopyTo(T** out) const
    {
        if (!out)
            return E_POINTER;
        *out = p;
        if (p)
            p->AddRef();
        return S_OK;
    }
    HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL)
    {
        Release();
        return ::CoCreateInstance(clsid, outer, context, __uuidof(T), reinterpret_cast<void**>(&p));
    }
    template <typename Q>
    HRESULT QueryInterface(Q** out) const
    {
        if (!p)
            return E_POINTER;
        return p->QueryInterface(__uuidof(Q), reinterpret_cast<void**>(out));
    }

    T* p = nullptr;
};

template <typename T, const IID* piid = &__uuidof(T)>
class CComQIPtr : public CComPtr<T> {
public:
    CComQIPtr() = default;
    CComQIPtr(T* other) : CComPtr<T>(other) {}
    CComQIPtr(IUnknown* unknown) { Query(unknown); }
    CComQIPtr& operator=(IUnknown* unknown)
    {
        Query(unknown);
        return *this;
    }

private:
    // Queries before letting go of the old pointer: unknown may be an object that only
    // this pointer keeps alive.
    void Query(IUnknown* unknown)
    {
        T* found = nullptr;
        if (unknown)
            unknown->QueryInterface(*piid, reinterpret_cast<void**>(&found));
        this->Attach(found);
    }
};
