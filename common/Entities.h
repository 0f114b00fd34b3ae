#pragma once
// Placeholders "&name;" in definition texts, and the two text builders of page HTML.
// Texts are code page 932: scans step over whole double-byte characters.
#include <windows.h>

#include "CStringT.h"

// Gets one token ("&name;"). On TRUE the token holds its value; on FALSE the original token
// stays in the text, whatever the resolver left in it.
using EntityResolver = BOOL (*)(void* context, CString& token);

// Null text gives "". A resolved value is inserted as it is and never scanned again.
CString ExpandEntityText(const char* text, EntityResolver resolver, void* context);

// The names every page knows: "&CURL;" and the paths beside the module whose file name is
// given (the core library and its programs lie in one folder).
BOOL ResolveStandardEntity(CString& token, const char* domainUrl, const char* moduleFileName);

// The module's file name as the system gives it, cut to the 260-byte buffer.
CString GetModuleFileNameText(HMODULE module);

// The module's folder: its file name up to the last backslash, which is dropped unless it
// is the one of a root ("C:\", "\").
CString GetFolderOfFile(const char* fileName);

CString HtmlEscape(const char* text);
inline void HtmlEscape(CString& out, const char* text)
{
    CString escaped = HtmlEscape(text);
    out = escaped;
}

// taxRate in hundredths of a percent (800 = 8 %). Tenths of the taxed amount, truncated
// toward zero; a minus sign stands before the grouped digits ("-1,332.7").
CString FormatAmount(int amount, int taxRate);
inline void FormatAmount(CString& out, int amount, int taxRate)
{
    out = FormatAmount(amount, taxRate);
}
