#include "RequirementElements.h"

#include <shlwapi.h>

#include "CAtlException.h"
#include "CPageContext.h"

namespace {

CString Trimmed(const CString& text)
{
    CString copy(text);
    copy.Trim();
    return copy;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The fields between commas, empty ones included.
CSimpleArray<CString> SplitFields(const char* text)
{
    CSimpleArray<CString> fields;
    const CString all(text);
    int start = 0;
    for (;;) {
        const int comma = all.Find(',', start);
        const CString field = comma >= 0 ? all.Mid(start, comma - start) : all.Mid(start);
        if (!fields.Add(Trimmed(field)))
            AtlThrow(E_OUTOFMEMORY);
        if (comma < 0)
            return fields;
        start = comma + 1;
    }
}

}  // namespace

void COsReqElement::Parse(const char* key)
{
    const CString text(key);
    int pos = 0;
    pattern = Trimmed(text.Tokenize(",", pos));
    if (pattern.IsEmpty())
        return;
    while (pos >= 0) {
        const CString token = Trimmed(text.Tokenize(",", pos));
        if (token.IsEmpty())
            continue;
        if (token.GetLength() >= 2 && CharTraits<char>::ToUpper(token[0]) == 'S' &&
            CharTraits<char>::ToUpper(token[1]) == 'P')
            servicePack = StrToIntA(token.Mid(2));
        else if (IsDigit(token[0]))
            bitness = StrToIntA(token);
    }
}

bool CThresholdReqElement::Parse(const char* key, const char* value)
{
    if (!key || !*key || !value || !*value)
        return false;
    pattern = key;
    const CString text(value);
    CSimpleArray<int> written;
    for (int pos = 0; pos >= 0;) {
        const CString token = Trimmed(text.Tokenize(",", pos));
        if (!token.IsEmpty() && !written.Add(StrToIntA(token)))
            AtlThrow(E_OUTOFMEMORY);
    }
    thresholds.RemoveAll();
    for (int i = written.GetSize() - 1; i >= 0; --i)
        if (!thresholds.Add(written[i]))
            AtlThrow(E_OUTOFMEMORY);
    return true;
}

int CThresholdReqElement::Compare(DWORD value) const
{
    if (thresholds.GetSize() >= 1 && LONGLONG(value) >= thresholds[0])
        return REQ_RESULT_MET;
    if (thresholds.GetSize() >= 2 && LONGLONG(value) >= thresholds[1])
        return REQ_RESULT_WARNING;
    return REQ_RESULT_NOT_MET;
}

bool CHddReqElement::Parse(const char* key, const char* value)
{
    if (!key || !*key || !value || !*value)
        return false;
    const CSimpleArray<CString> fields = SplitFields(value);
    const int system = StrToIntA(fields[0]);
    const int install = fields.GetSize() >= 2 ? StrToIntA(fields[1]) : 0;
    if (system == 0 || install == 0)
        return false;
    pattern = key;
    systemPart = system;
    installPart = install;
    return true;
}

BrowserVersion ParseBrowserVersion(const char* text)
{
    BrowserVersion version = {{0, 0, 0, 0}};
    const CString all(text);
    int start = 0;
    for (int part = 0; part < 4; ++part) {
        const int dot = all.Find('.', start);
        version.parts[part] = StrToIntA(Trimmed(dot >= 0 ? all.Mid(start, dot - start) : all.Mid(start)));
        if (dot < 0)
            break;
        start = dot + 1;
    }
    return version;
}

int CompareBrowserVersions(const BrowserVersion& a, const BrowserVersion& b)
{
    for (int i = 0; i < 4; ++i)
        if (a.parts[i] != b.parts[i])
            return a.parts[i] < b.parts[i] ? -1 : 1;
    return 0;
}

bool CIeReqElement::Parse(const char* key, const char* value)
{
    if (!key || !*key || !value || !*value)
        return false;
    const CSimpleArray<CString> fields = SplitFields(value);
    pattern = key;
    minimum = ParseBrowserVersion(fields[0]);
    // A trailing comma names no upper version: it must not shut out every browser.
    if (fields.GetSize() >= 2 && !fields[1].IsEmpty())
        upper = ParseBrowserVersion(fields[1]);
    return true;
}
