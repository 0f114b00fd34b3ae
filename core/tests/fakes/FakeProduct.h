#pragma once
// Test controls of the fake product object (KavoFakeProduct.dll), looked up with GetProcAddress.
#include <windows.h>

// Ids and versions are copied; null keeps the environment's (KAVO_FAKE_PRODUCT_ID,
// KAVO_FAKE_PRODUCT_VERSION) or built-in text. The results are what creation, GetProductId
// and GetProductVersion answer; S_OK for normal behaviour. A file named by
// KAVO_FAKE_PRODUCT_VERSION_FILE that holds a version (a fake setup's upgrade) overrides it.
using FakeProductConfigureFn = void(__cdecl*)(const wchar_t* productId, const wchar_t* version, HRESULT createResult,
                                              HRESULT productIdResult, HRESULT versionResult);
// Product objects alive now: a caller that forgets a Release leaves this above zero.
using FakeProductLiveObjectsFn = LONG(__cdecl*)();
