#pragma once
// The module's one key-to-text store: every text the program shows or uses that is not
// computed. Keys and texts are code page 932 bytes, compared byte for byte.
#include <windows.h>

#include "CAtlMap.h"
#include "CStringT.h"

class CTextDef {
public:
    CTextDef() = delete;

    // A missing key is inserted with an empty text, so a later HasText of it is true.
    static CString GetText(const char* key);
    static bool HasText(const char* key);
    // A null text stores "".
    static void SetText(const char* key, const char* text);
    // Forgets the key, so HasText of it is false again.
    static void RemoveText(const char* key);
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
    // GETs url and adds its entries (ParseDownloadedText) to the store, or to local when one
    // is given (the domain judgement keeps its answer apart). Nothing is emptied first; a
    // failed connection or request, or a status other than 200, adds nothing: false.
    static bool LoadFromUrl(const char* url, CAtlMap<CString, CString>* local = nullptr);
    // The downloaded dialect: ";" comments, [sections], trimmed keys, either kind of quotes;
    // only entries before the first section or in [DomainSwitch] are kept.
    static bool ParseDownloadedText(const char* text, CAtlMap<CString, CString>* local = nullptr);
    static void RemoveAll();
    static size_t GetCount();

    static void SetDomainUrl(const char* url);
    static CString GetDomainUrl();
};

// Removes a leading "HKEY_LOCAL_MACHINE\", "HKEY_CURRENT_USER\", "HKLM\" or "HKCU\"
// (case-sensitive) and returns its root; 0 with the path unchanged otherwise.
HKEY SplitRegistryRoot(CString& path);

// The text before the first "\n" without one trailing "\r"; that part and its "\n" are
// removed from text (all of it when there is no "\n").
CString CutFirstLine(CString& text);
// A line that, trimmed at its end, is "[name]": true with section = name, untrimmed.
bool ParseSectionHeader(const char* line, CString& section);
// Trims text, then removes one pair of matching enclosing quotes (" or ').
void StripQuotes(CString& text);
