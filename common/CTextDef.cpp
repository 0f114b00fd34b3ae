#include "CTextDef.h"

#include <cstring>

#include "CAtlMap.h"
#include "CComCriticalSection.h"
#include "CHandle.h"
#include "CSimpleHttpStrStream.h"
#include "CWinInetRequest.h"
#include "UrlParts.h"

namespace {

// Worker threads read the store while GetText of a missing key writes to it, so every
// access takes the lock.
CComAutoCriticalSection& StoreLock()
{
    static CComAutoCriticalSection lock;
    return lock;
}

CAtlMap<CString, CString>& Store()
{
    static CAtlMap<CString, CString> store;
    return store;
}

CString& DomainUrl()
{
    static CString url;
    return url;
}

const char kBlanks[] = " \t\r\n\v\f";

void StripEnclosingQuotes(CString& text)
{
    const int length = text.GetLength();
    if (length > 1 && text[0] == '"' && text[length - 1] == '"')
        text = text.Mid(1, length - 2);
}

// The state carried from one definition line to the next.
struct LineState {
    CString key;
    CString text;
};

enum class Source { File, Resource };

void ParseLine(const char* line, int length, Source source, LineState& state)
{
    const void* nul = std::memchr(line, '\0', size_t(length));
    if (nul)
        length = int(static_cast<const char*>(nul) - line);
    CString text(line, length);

    if (length > 0 && (line[0] == '\t' || line[0] == ' ')) {
        state.text += "\r\n";
        if (source == Source::File) {
            text.Trim(kBlanks);
            StripEnclosingQuotes(text);
            state.text += text;
        } else {
            text.TrimLeft(kBlanks);
            state.text += text;
            state.text.TrimRight(kBlanks);
        }
    } else {
        const int equals = text.Find('=');
        if (equals >= 0) {
            state.key = text.Left(equals);
            state.text = text.Mid(equals + 1);
            state.text.Trim(kBlanks);
            StripEnclosingQuotes(state.text);
        } else {
            state.key = text;
            state.key.Trim(kBlanks);
            state.text.Empty();
        }
    }
    if (!state.key.IsEmpty())
        CTextDef::SetText(state.key, state.text);
}

}  // namespace

CString CTextDef::GetText(const char* key)
{
    CString name(key);
    CComCritSecLock<CComCriticalSection> lock(StoreLock());
    auto* pair = Store().Lookup(name);
    if (pair)
        return pair->m_value;
    Store().SetAt(name, CString());
    return CString();
}

bool CTextDef::HasText(const char* key)
{
    CString name(key);
    CComCritSecLock<CComCriticalSection> lock(StoreLock());
    return Store().Lookup(name) != nullptr;
}

void CTextDef::SetText(const char* key, const char* text)
{
    CString name(key);
    CString value(text ? text : "");
    CComCritSecLock<CComCriticalSection> lock(StoreLock());
    Store().SetAt(name, value);
}

CString CTextDef::GetUrlText(const char* key)
{
    CString text = GetText(key);
    text.Replace("&CURL;", GetDomainUrl());
    return text;
}

HKEY CTextDef::GetRegRoot(const char* key)
{
    CString path = GetText(key);
    return SplitRegistryRoot(path);
}

CString CTextDef::GetRegPath(const char* key)
{
    CString path = GetText(key);
    SplitRegistryRoot(path);
    return path;
}

void CTextDef::RemoveText(const char* key)
{
    CString name(key);
    CComCritSecLock<CComCriticalSection> lock(StoreLock());
    Store().RemoveKey(name);
}

void CTextDef::RemoveAll()
{
    CComCritSecLock<CComCriticalSection> lock(StoreLock());
    Store().RemoveAll();
}

size_t CTextDef::GetCount()
{
    CComCritSecLock<CComCriticalSection> lock(StoreLock());
    return Store().GetCount();
}

void CTextDef::SetDomainUrl(const char* url)
{
    CString value(url ? url : "");
    CComCritSecLock<CComCriticalSection> lock(StoreLock());
    DomainUrl() = value;
}

CString CTextDef::GetDomainUrl()
{
    CComCritSecLock<CComCriticalSection> lock(StoreLock());
    return DomainUrl();
}

bool CTextDef::LoadFromFile(const char* path)
{
    RemoveAll();
    if (!path)
        return false;
    // Owned: a parse that throws still closes the file.
    CHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    return ParseFile(file);
}

bool CTextDef::ParseFile(HANDLE file)
{
    LineState state;
    CString pending;
    for (;;) {
        char block[128];
        DWORD read = 0;
        if (!ReadFile(file, block, sizeof block, &read, nullptr))
            return false;
        if (read == 0) {
            if (!pending.IsEmpty())
                ParseLine(pending, pending.GetLength(), Source::File, state);
            return true;
        }
        const void* newline = std::memchr(block, '\n', read);
        if (!newline) {
            pending.Append(block, int(read));
            continue;
        }
        // The line ends inside this block: take it and start the next read behind it.
        const DWORD used = DWORD(static_cast<const char*>(newline) - block) + 1;
        pending.Append(block, int(used));
        if (used < read)
            SetFilePointer(file, -LONG(read - used), nullptr, FILE_CURRENT);
        ParseLine(pending, pending.GetLength(), Source::File, state);
        pending.Empty();
    }
}

bool CTextDef::LoadFromResource(HMODULE module, UINT id)
{
    RemoveAll();
    if (id == 0)
        return false;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded)
        return false;
    const BYTE* data = static_cast<const BYTE*>(LockResource(loaded));
    if (!data)
        return false;
    return ParseResource(data, SizeofResource(module, resource));
}

bool CTextDef::ParseResource(const BYTE* data, DWORD size)
{
    LineState state;
    const char* text = reinterpret_cast<const char*>(data);
    DWORD pos = 0;
    while (pos < size && text[pos] != '\0') {
        const void* newline = std::memchr(text + pos, '\n', size - pos);
        const DWORD end = newline ? DWORD(static_cast<const char*>(newline) - text) + 1 : size;
        ParseLine(text + pos, int(end - pos), Source::Resource, state);
        pos = end;
    }
    return true;
}

HKEY SplitRegistryRoot(CString& path)
{
    static const struct {
        const char* prefix;
        HKEY root;
    } roots[] = {
        {"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE},
        {"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER},
        {"HKLM\\", HKEY_LOCAL_MACHINE},
        {"HKCU\\", HKEY_CURRENT_USER},
    };
    for (const auto& entry : roots) {
        const size_t length = std::strlen(entry.prefix);
        if (std::strncmp(path, entry.prefix, length) == 0) {
            path = path.Mid(int(length));
            return entry.root;
        }
    }
    return nullptr;
}

namespace {

// One line of data from pos on, as CutFirstLine takes it; pos moves behind its "\n".
CString NextLine(const char* data, int length, int& pos)
{
    const void* newline = std::memchr(data + pos, '\n', size_t(length - pos));
    const int end = newline ? int(static_cast<const char*>(newline) - data) : length;
    int lineEnd = end;
    if (lineEnd > pos && data[lineEnd - 1] == '\r')
        --lineEnd;
    CString line(data + pos, lineEnd - pos);
    pos = newline ? end + 1 : length;
    return line;
}

}  // namespace

CString CutFirstLine(CString& text)
{
    int pos = 0;
    CString line = NextLine(text, text.GetLength(), pos);
    text = text.Mid(pos);
    return line;
}

bool ParseSectionHeader(const char* line, CString& section)
{
    CString header(line ? line : "");
    const int newline = header.Find('\n');
    if (newline >= 0)
        header = header.Left(newline);
    header.TrimRight(kBlanks);
    const int length = header.GetLength();
    if (length <= 1 || header[0] != '[')
        return false;
    // The last character, not the last byte: a trail byte may be 0x5D, which is "]".
    const char* bytes = header.GetString();
    int last = 0;
    for (int i = 0; i < length; i += CharTraits<char>::CharLen(bytes + i))
        last = i;
    if (last != length - 1 || bytes[last] != ']')
        return false;
    section = header.Mid(1, length - 2);
    return true;
}

void StripQuotes(CString& text)
{
    text.Trim(kBlanks);
    const int length = text.GetLength();
    if (length > 1 && (text[0] == '"' || text[0] == '\'') && text[length - 1] == text[0])
        text = text.Mid(1, length - 2);
}

bool CTextDef::ParseDownloadedText(const char* text, CAtlMap<CString, CString>* local)
{
    // Walked with a cursor rather than CutFirstLine, which would copy the rest once per line.
    const char* data = text ? text : "";
    const int length = int(std::strlen(data));
    CString section;
    int pos = 0;
    while (pos < length) {
        CString line = NextLine(data, length, pos);
        if (line.IsEmpty() || line[0] == ';' || ParseSectionHeader(line, section))
            continue;

        CString key = line;
        CString value;
        const int equals = line.Find('=');
        if (equals >= 0) {
            key = line.Left(equals);
            value = line.Mid(equals + 1);
            StripQuotes(value);
        }
        key.Trim(kBlanks);
        while (pos < length && (data[pos] == ' ' || data[pos] == '\t')) {
            CString continued = NextLine(data, length, pos);
            StripQuotes(continued);
            value += "\r\n";
            value += continued;
        }

        if (key.IsEmpty() || !(section.IsEmpty() || section == "DomainSwitch"))
            continue;
        if (local)
            local->SetAt(key, value);
        else
            SetText(key, value);
    }
    return true;
}

bool CTextDef::LoadFromUrl(const char* url, CAtlMap<CString, CString>* local)
{
    CUrlParts parts;
    if (!SplitUrl(url, parts))
        return false;
    CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    CSimpleHttpStrStream body;
    if (!request.ConnectUrl(parts.host, parts.port, parts.user, parts.password, url) || !request.Get(parts.path, &body))
        return false;
    return ParseDownloadedText(body.GetText(), local);
}
