#include "Entities.h"

namespace {

// A lead byte counts only with a byte that can follow it in code page 932. A broken pair
// such as lead + "<" is taken as two characters, as the browser decodes it, so the ASCII
// byte is still seen as markup.
int CharLength(const char* p)
{
    const BYTE lead = BYTE(p[0]);
    const BYTE trail = BYTE(p[1]);
    const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    const bool isTrail = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
    return isLead && isTrail ? 2 : 1;
}

const char* FindChar(const char* p, char ch)
{
    for (; *p; p += CharLength(p))
        if (*p == ch)
            return p;
    return nullptr;
}

bool HoldsBlank(const char* first, const char* last)
{
    for (const char* p = first; p <= last; ++p)
        if (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
            return true;
    return false;
}

bool EndsWithBackslash(const char* text)
{
    const char* lastChar = nullptr;
    for (const char* p = text; *p; p += CharLength(p))
        lastChar = p;
    return lastChar && *lastChar == '\\' && CharLength(lastChar) == 1;
}

CString BesideModule(const char* moduleFileName, const char* name)
{
    CString path = GetFolderOfFile(moduleFileName);
    if (!path.IsEmpty() && !EndsWithBackslash(path))
        path += '\\';
    path += name;
    return path;
}

}  // namespace

CString ExpandEntityText(const char* text, EntityResolver resolver, void* context)
{
    CString result;
    if (!text)
        return result;
    const char* rest = text;
    while (*rest) {
        const char* amp = FindChar(rest, '&');
        if (!amp)
            break;
        const char* semicolon = FindChar(amp + 1, ';');
        if (!semicolon)
            break;
        const int tokenLength = int(semicolon - amp) + 1;
        result.Append(rest, int(amp - rest));
        CString token(amp, tokenLength);
        if (!HoldsBlank(amp, semicolon) && resolver && resolver(context, token))
            result += token;
        else
            result.Append(amp, tokenLength);
        rest = semicolon + 1;
    }
    result += rest;
    return result;
}

BOOL ResolveStandardEntity(CString& token, const char* domainUrl, const char* moduleFileName)
{
    static const struct {
        const char* token;
        const char* fileName;
    } kFiles[] = {
        {"&KAVOCOREDLL;", "kavocore.dll"},
        {"&KAVOEXE;", "kavo.exe"},
        {"&KAVOCOMPEXE;", "kavocomp.exe"},
    };
    if (token == "&CURL;") {
        token = domainUrl ? domainUrl : "";
        return TRUE;
    }
    for (const auto& file : kFiles) {
        if (token == file.token) {
            token = BesideModule(moduleFileName, file.fileName);
            return TRUE;
        }
    }
    if (token == "&KAVOPATH;") {
        token = GetFolderOfFile(moduleFileName);
        return TRUE;
    }
    return FALSE;
}

CString GetModuleFileNameText(HMODULE module)
{
    char buffer[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(module, buffer, MAX_PATH);
    // A cut name may come without its terminating NUL.
    if (length >= MAX_PATH)
        length = MAX_PATH - 1;
    return CString(buffer, int(length));
}

CString GetFolderOfFile(const char* fileName)
{
    if (!fileName)
        return CString();
    const char* lastBackslash = nullptr;
    for (const char* p = fileName; *p; p += CharLength(p))
        if (*p == '\\')
            lastBackslash = p;
    if (!lastBackslash)
        return CString();
    int length = int(lastBackslash - fileName);
    const bool root = length == 0 || (length == 2 && fileName[1] == ':');
    if (root)
        ++length;
    return CString(fileName, length);
}

CString HtmlEscape(const char* text)
{
    CString result;
    if (!text)
        return result;
    const char* plainStart = text;
    const char* p = text;
    for (; *p; p += CharLength(p)) {
        const char* entity = nullptr;
        switch (*p) {
        case '&': entity = "&amp;"; break;
        case '<': entity = "&lt;"; break;
        case '>': entity = "&gt;"; break;
        case '"': entity = "&quot;"; break;
        case ' ': entity = "&nbsp;"; break;
        default: continue;
        }
        result.Append(plainStart, int(p - plainStart));
        result += entity;
        plainStart = p + 1;
    }
    result.Append(plainStart, int(p - plainStart));
    return result;
}

CString FormatAmount(int amount, int taxRate)
{
    // Any int amount at any int rate fits: |t| < 2^31 * 2^32 / 1000.
    const long long tenths = taxRate != 0 ? static_cast<long long>(amount) * (10000LL + taxRate) / 1000
                                          : static_cast<long long>(amount) * 10;
    const bool negative = tenths < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(tenths)
                                            : static_cast<unsigned long long>(tenths);
    const int decimal = int(magnitude % 10);
    magnitude /= 10;

    // Written from the right: digits, a comma before every further group of three.
    char reversed[40];
    int count = 0;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            reversed[count++] = ',';
        reversed[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude);

    CString result;
    if (negative)
        result += '-';
    while (count > 0)
        result += reversed[--count];
    if (decimal != 0) {
        result += '.';
        result += char('0' + decimal);
    }
    return result;
}
