#pragma once
// The module's one key-to-text store: every text the program shows or uses that is not
// computed. Keys and texts are code page 932 bytes, compared byte for byte.
#include <windows.h>

#include "CStringT.h"

class CTextDef {
public:
    CTextDef() = delete;

    // A missing key is inserted with an empty text, so a later HasText of it is true.
    static CString GetText(const char* key);
    static bool HasText(const char* key);
    // A null text stores "".
    static void SetText(const char* key, const char* text);
    // GetText with every "&CURL;" replaced by the domain URL.
    static CString GetUrlText(const char* key);
    static HKEY GetRegRoot(const char* key);
    static CString GetRegPath(const char* key);

    static bool LoadFromFile(const char* path);
    static bool LoadFromResource(HMODULE module, UINT id);
    // The line rules of a definition file, read from an open file.
    static bool ParseFile(HANDLE file);
    // The line rules of the built-in text; bounded by size (the resource has no final NUL).
    static bool ParseResource(const BYTE* data, DWORD size);
    static void RemoveAll();
    static size_t GetCount();

    static void SetDomainUrl(const char* url);
    static CString GetDomainUrl();
};

// Removes a leading "HKEY_LOCAL_MACHINE\", "HKEY_CURRENT_USER\", "HKLM\" or "HKCU\"
// (case-sensitive) and returns its root; 0 with the path unchanged otherwise.
HKEY SplitRegistryRoot(CString& path);
