#pragma once
// Turns short font descriptions ("9pt,MS Shell Dlg", "bold") into GDI fonts, each made
// once per process. Controls keep using the handles, so the cache never deletes them.
#include <windows.h>

#include "CAtlMap.h"
#include "CStringT.h"

class CFontCache {
public:
    CFontCache();
    CFontCache(const CFontCache&) = delete;
    CFontCache& operator=(const CFontCache&) = delete;

    // The same handle for the same bytes; throws E_FAIL for a null description. Null when
    // GDI could not make the font (tried again on the next call).
    HFONT GetFont(const char* description);
    // out = the default font changed by the description's tokens.
    void BuildLogFont(const char* description, LOGFONTA& out) const;

private:
    CAtlMap<CString, HFONT> fonts;
    LOGFONTA defaultFont;
};

// The module's own cache, made on first use.
CFontCache& GlobalFontCache();
