#pragma once
// The installed security product's own in-process COM object, through which it reports which
// product and version it is.
#include <windows.h>
#include <oaidl.h>

// {E61007DE-3652-41D9-9B23-E0CE6888290C}
inline constexpr CLSID CLSID_KavoInstalledProduct = {
    0xe61007de, 0x3652, 0x41d9, {0x9b, 0x23, 0xe0, 0xce, 0x68, 0x88, 0x29, 0x0c}};
// {E3710D21-851E-4F82-A738-55D689BFE395}
inline constexpr IID IID_IKavoInstalledProduct = {
    0xe3710d21, 0x851e, 0x4f82, {0xa7, 0x38, 0x55, 0xd6, 0x89, 0xbf, 0xe3, 0x95}};

// Slot order is the product's contract: the id and the version are the second and third
// methods after IUnknown's three.
struct IKavoInstalledProduct : public IUnknown {
    // Not used by this program; holds the first slot.
    virtual HRESULT STDMETHODCALLTYPE Reserved() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProductId(BSTR* productId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProductVersion(BSTR* version) = 0;
};
