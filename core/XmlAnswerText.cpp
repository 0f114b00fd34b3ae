#include "XmlAnswerText.h"

#include <cstring>

namespace {

const struct {
    const char* name;
    UINT codePage;
} kEncodings[] = {
    {"shift_jis", 932}, {"shift-jis", 932}, {"sjis", 932}, {"x-sjis", 932}, {"windows-31j", 932},
    {"cp932", 932},     {"ms_kanji", 932},  {"csshiftjis", 932}, {"utf-8", CP_UTF8}, {"utf8", CP_UTF8},
};

bool IsXmlBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The value of the pseudo-attribute encoding of the declaration text (between "<?xml" and
// "?>"), and the span [from, to) that holds the attribute with the blanks before it.
// Absent: true with an empty name. False for an unquoted or unterminated value.
bool FindEncoding(const char* decl, int length, CString& name, int& from, int& to)
{
    name.Empty();
    static const char kKey[] = "encoding";
    const int keyLength = int(sizeof kKey - 1);
    for (int i = 0; i + keyLength <= length; ++i) {
        if (std::strncmp(decl + i, kKey, size_t(keyLength)) != 0 || i == 0 || !IsXmlBlank(decl[i - 1]))
            continue;
        int start = i;
        while (start > 0 && IsXmlBlank(decl[start - 1]))
            --start;
        int pos = i + keyLength;
        while (pos < length && IsXmlBlank(decl[pos]))
            ++pos;
        if (pos >= length || decl[pos] != '=')
            continue;
        ++pos;
        while (pos < length && IsXmlBlank(decl[pos]))
            ++pos;
        if (pos >= length || (decl[pos] != '"' && decl[pos] != '\''))
            return false;
        const char quote = decl[pos++];
        const int valueStart = pos;
        while (pos < length && decl[pos] != quote)
            ++pos;
        if (pos >= length)
            return false;
        name = CString(decl + valueStart, pos - valueStart);
        from = start;
        to = pos + 1;
        return true;
    }
    return true;
}

bool CodePageOf(const CString& name, UINT& codePage)
{
    for (const auto& encoding : kEncodings) {
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, name.GetLength(), encoding.name, -1) ==
            CSTR_EQUAL) {
            codePage = encoding.codePage;
            return true;
        }
    }
    return false;
}

bool Widen(UINT codePage, const char* bytes, int length, CStringW& text)
{
    text.Empty();
    if (length == 0)
        return true;
    const int chars = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, length, nullptr, 0);
    if (chars <= 0)
        return false;
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, length, text.GetBufferSetLength(chars), chars);
    text.ReleaseBuffer(chars);
    return true;
}

}  // namespace

bool DecodeXmlAnswer(const char* bytes, int length, CStringW& text)
{
    text.Empty();
    if (!bytes || length < 0 || DWORD(length) > kMaxXmlAnswerSize)
        return false;
    UINT codePage = CP_ACP;
    static const char kUtf8Mark[] = "\xEF\xBB\xBF";
    if (length >= 3 && std::memcmp(bytes, kUtf8Mark, 3) == 0) {
        codePage = CP_UTF8;
        bytes += 3;
        length -= 3;
    }

    // The declaration is ASCII in every encoding named above: it is read before decoding.
    CString kept(bytes, length);
    static const char kOpen[] = "<?xml";
    if (length >= 6 && std::strncmp(bytes, kOpen, 5) == 0 && IsXmlBlank(bytes[5])) {
        const char* end = static_cast<const char*>(std::memchr(bytes, '?', size_t(length)));
        while (end && (end + 1 >= bytes + length || end[1] != '>'))
            end = static_cast<const char*>(std::memchr(end + 1, '?', size_t(bytes + length - end - 1)));
        if (!end)
            return false;
        CString name;
        int from = 0;
        int to = 0;
        if (!FindEncoding(bytes, int(end - bytes), name, from, to))
            return false;
        if (!name.IsEmpty()) {
            UINT declared = 0;
            if (!CodePageOf(name, declared))
                return false;
            codePage = declared;
            kept.Delete(from, to - from);
        }
    }

    CStringW decoded;
    if (!Widen(codePage, kept, kept.GetLength(), decoded))
        return false;
    // A document type declaration could name entities that expand without end or read files
    // and addresses: an answer never has one.
    if (decoded.Find(L"<!DOCTYPE") >= 0 || decoded.Find(L"<!ENTITY") >= 0)
        return false;
    text = decoded;
    return true;
}
