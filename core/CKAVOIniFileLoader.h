#pragma once
// Reader of the sectioned definition files on the content server (or a local stand-in):
// splits a file into (section, key, value) entries and hands each to OnEntry.
#include <windows.h>

#include "CStringT.h"

class CKAVOIniFileLoader {
public:
    // Files larger than this are refused unread.
    static constexpr DWORD kMaxFileSize = 0x400000;

    CKAVOIniFileLoader() = default;
    virtual ~CKAVOIniFileLoader() = default;
    CKAVOIniFileLoader(const CKAVOIniFileLoader&) = delete;
    CKAVOIniFileLoader& operator=(const CKAVOIniFileLoader&) = delete;

    // Nonzero to go on, 0 to stop parsing at once.
    virtual BOOL OnEntry(const char* section, const char* key, const char* value) = 0;

    // "http://" and "https://" sources (any letter case) go to LoadUrl, the rest to LoadFile.
    BOOL Load(const char* source);
    // A file of 1 to kMaxFileSize bytes, read whole, taken up to its first NUL byte.
    BOOL LoadFile(const char* path);
    // A GET of the URL; only a status of 200 is parsed.
    BOOL LoadUrl(const char* url);
    // Consumes text line by line; 0 when OnEntry stopped it (text then holds what was left).
    BOOL Parse(CString& text);
};
