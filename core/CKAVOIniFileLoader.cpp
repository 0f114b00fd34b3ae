#include "CKAVOIniFileLoader.h"

#include <cstring>

#include "CHandle.h"
#include "UrlText.h"

namespace {

// Cuts the text into lines at "\n"; one "\r" before the "\n" (or at the very end) is no
// part of the line.
class LineReader {
public:
    explicit LineReader(const CString& text) : m_text(text), m_length(text.GetLength()) {}

    bool AtEnd() const { return m_pos >= m_length; }
    int Position() const { return m_pos; }

    CString Next()
    {
        const char* start = m_text.GetString() + m_pos;
        const void* newline = std::memchr(start, '\n', size_t(m_length - m_pos));
        int length = newline ? int(static_cast<const char*>(newline) - start) : m_length - m_pos;
        m_pos += newline ? length + 1 : length;
        if (length > 0 && start[length - 1] == '\r')
            --length;
        return CString(start, length);
    }

    // A line that begins with a blank or a TAB continues the entry before it.
    bool NextIsContinuation() const
    {
        return !AtEnd() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t');
    }

private:
    const CString& m_text;
    const int m_length;
    int m_pos = 0;
};

// The last character, stepping over double-byte characters (a trail byte may be 0x5D "]").
bool EndsWithChar(const CString& text, char ch)
{
    const char* s = text.GetString();
    int last = -1;
    for (int i = 0; i < text.GetLength(); i += CharTraits<char>::CharLen(s + i))
        last = i;
    return last >= 0 && last == text.GetLength() - 1 && s[last] == ch;
}

bool ParseHeader(const CString& line, CString& section)
{
    CString trimmed(line);
    trimmed.TrimRight();
    if (trimmed.GetLength() <= 1 || trimmed[0] != '[' || !EndsWithChar(trimmed, ']'))
        return false;
    section = trimmed.Mid(1, trimmed.GetLength() - 2);
    return true;
}

// Trims the text, then drops one pair of enclosing double quotes or apostrophes.
CString Unquoted(const CString& raw)
{
    CString text(raw);
    text.Trim();
    const int length = text.GetLength();
    if (length >= 2 && (text[0] == '"' || text[0] == '\'') && text[length - 1] == text[0])
        text = text.Mid(1, length - 2);
    return text;
}

bool StartsWithNoCase(const char* text, const char* prefix)
{
    const size_t length = std::strlen(prefix);
    return std::strlen(text) >= length &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text, int(length), prefix, int(length)) == CSTR_EQUAL;
}

}  // namespace

BOOL CKAVOIniFileLoader::Load(const char* source)
{
    if (!source)
        return FALSE;
    if (StartsWithNoCase(source, "http://") || StartsWithNoCase(source, "https://"))
        return LoadUrl(source);
    return LoadFile(source);
}

BOOL CKAVOIniFileLoader::LoadFile(const char* path)
{
    if (!path)
        return FALSE;
    CHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return FALSE;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.HighPart != 0 || size.LowPart == 0 || size.LowPart > kMaxFileSize)
        return FALSE;
    CString text;
    char* buffer = text.GetBufferSetLength(int(size.LowPart));
    DWORD read = 0;
    if (!ReadFile(file, buffer, size.LowPart, &read, nullptr) || read != size.LowPart)
        return FALSE;
    // Text ends at the first NUL byte.
    text.ReleaseBuffer();
    return Parse(text);
}

BOOL CKAVOIniFileLoader::LoadUrl(const char* url)
{
    CString body;
    if (!FetchUrlText(url, body))
        return FALSE;
    return Parse(body);
}

BOOL CKAVOIniFileLoader::Parse(CString& text)
{
    LineReader lines(text);
    CString section;
    while (!lines.AtEnd()) {
        const CString line = lines.Next();
        if (line.IsEmpty() || line[0] == ';')
            continue;
        if (ParseHeader(line, section))
            continue;

        CString key;
        CString value;
        const int equals = line.Find('=');
        if (equals >= 0) {
            key = line.Left(equals);
            value = Unquoted(line.Mid(equals + 1));
        } else {
            key = line;
        }
        key.Trim();
        // Continuation lines extend the value, or the key of a line without "=".
        CString& extended = equals >= 0 ? value : key;
        while (lines.NextIsContinuation()) {
            extended += "\r\n";
            extended += Unquoted(lines.Next());
        }

        if (!OnEntry(section, key, value)) {
            text = text.Mid(lines.Position());
            return FALSE;
        }
    }
    text.Empty();
    return TRUE;
}
