#pragma once
// The build signs the fake package under a test root (core/tests/fakes/sign-fake-packages.sh);
// the test prefix trusts that root as a machine would trust a real one.
#include <windows.h>
#include <wincrypt.h>

#include <string>

#include "KavoTestPaths.h"

// The subject of the certificate the good package is signed with.
constexpr const char kTestPublisher[] = "KAVO Test Publisher";

inline std::string SignedPackage(const char* variant)
{
    return TestBinFolder() + "\\signed\\package-" + variant + ".exe";
}

// Adds the test root to the ROOT store; true when it is there.
inline bool TrustTestRoot()
{
    const std::string der = ReadWholeFile(TestBinFolder() + "\\signed\\root.der");
    if (der.empty())
        return false;
    HCERTSTORE store = CertOpenSystemStoreA(0, "ROOT");
    if (!store)
        return false;
    const BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                                        DWORD(der.size()), CERT_STORE_ADD_USE_EXISTING, nullptr);
    CertCloseStore(store, 0);
    return added != FALSE;
}
