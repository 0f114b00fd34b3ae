#pragma once
// The class library's string: CStringA (CString, the product's multibyte text in code
// page 932) and CStringW. Multibyte operations that look at single characters step over
// double-byte characters, so a trail byte such as the 0x5C of "表" is never taken for "\".
#include <windows.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <utility>

#include "CAtlException.h"
#include "IAtlStringMgr.h"
#include "TextCodePage.h"

template <typename T>
struct CharTraits;

template <>
struct CharTraits<char> {
    // Length of the character starting at p (1 or 2 bytes; a lead byte before NUL is 1).
    static int CharLen(const char* p) { return (IsDBCSLeadByte(BYTE(*p)) && p[1]) ? 2 : 1; }
    static int Length(const char* s) { return s ? int(std::strlen(s)) : 0; }
    static int VFormat(char* buf, size_t size, const char* fmt, va_list args)
    {
        return std::vsnprintf(buf, size, fmt, args);
    }
    static int CompareNoCase(const char* a, const char* b) { return lstrcmpiA(a, b); }
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
    static char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
    static char ToLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
};

template <>
struct CharTraits<wchar_t> {
    static int CharLen(const wchar_t*) { return 1; }
    static int Length(const wchar_t* s) { return s ? int(std::wcslen(s)) : 0; }
    static int VFormat(wchar_t* buf, size_t size, const wchar_t* fmt, va_list args)
    {
        return std::vswprintf(buf, size, fmt, args);
    }
    static int CompareNoCase(const wchar_t* a, const wchar_t* b) { return lstrcmpiW(a, b); }
    static bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }
    static wchar_t ToUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c; }
    static wchar_t ToLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }
};

template <typename T>
class CStringT {
    using Traits = CharTraits<T>;
    using OtherChar = typename std::conditional<sizeof(T) == 1, wchar_t, char>::type;

public:
    using XCHAR = T;
    using PCXSTR = const T*;

    CStringT() = default;
    CStringT(const T* s) { Assign(s, Traits::Length(s)); }
    CStringT(const T* s, int length) { Assign(s, length); }
    CStringT(T ch, int repeat = 1)
    {
        T* p = PrepareWrite(repeat > 0 ? repeat : 0);
        for (int i = 0; i < repeat; ++i)
            p[i] = ch;
        SetLength(repeat > 0 ? repeat : 0);
    }
    CStringT(const OtherChar* s) { AssignConverted(s); }
    CStringT(const CStringT<OtherChar>& s) { AssignConverted(s.GetString()); }
    CStringT(const CStringT& other) { Assign(other.GetString(), other.GetLength()); }
    CStringT(CStringT&& other) noexcept : m_data(other.m_data) { other.m_data = nullptr; }
    ~CStringT() { Release(); }

    CStringT& operator=(const CStringT& other)
    {
        if (this != &other)
            Assign(other.GetString(), other.GetLength());
        return *this;
    }
    CStringT& operator=(CStringT&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_data = other.m_data;
            other.m_data = nullptr;
        }
        return *this;
    }
    CStringT& operator=(const T* s) { Assign(s, Traits::Length(s)); return *this; }
    CStringT& operator=(T ch) { Assign(&ch, 1); return *this; }
    CStringT& operator=(const OtherChar* s) { AssignConverted(s); return *this; }

    int GetLength() const { return m_data ? m_data->nDataLength : 0; }
    bool IsEmpty() const { return GetLength() == 0; }
    void Empty() { Release(); }
    const T* GetString() const { return m_data ? Chars() : EmptyText(); }
    operator const T*() const { return GetString(); }
    T operator[](int index) const { return GetString()[index]; }
    T GetAt(int index) const { return GetString()[index]; }
    void SetAt(int index, T ch) { Chars()[index] = ch; }

    // The manager that owns the buffer (the process-heap manager for a string given none of
    // its own), or null while the string has no buffer.
    IAtlStringMgr* GetManager() const
    {
        return m_data ? (m_data->pStringMgr ? m_data->pStringMgr : AtlGetStringManager()) : nullptr;
    }
    // Gives the string an empty buffer from the given manager (for code that must choose
    // whose allocator a stored string uses).
    void SetManager(IAtlStringMgr* manager)
    {
        CStringT copy(*this);
        Release();
        m_data = manager->Allocate(copy.GetLength(), sizeof(T));
        if (!m_data)
            AtlThrow(E_OUTOFMEMORY);
        std::memcpy(Chars(), copy.GetString(), sizeof(T) * (copy.GetLength() + 1));
        m_data->nDataLength = copy.GetLength();
    }

    T* GetBuffer(int minLength = 0)
    {
        int length = GetLength();
        T* p = Reserve(minLength > length ? minLength : length);
        return p;
    }
    T* GetBufferSetLength(int length)
    {
        T* p = Reserve(length);
        SetLength(length);
        return p;
    }
    void ReleaseBuffer(int newLength = -1)
    {
        if (!m_data)
            return;
        if (newLength < 0)
            newLength = Traits::Length(Chars());
        SetLength(newLength);
    }
    void Preallocate(int length) { Reserve(length); }

    CStringT& Append(const T* s, int length)
    {
        if (length <= 0)
            return *this;
        int old = GetLength();
        // The source may live inside this string's own buffer.
        if (m_data && s >= Chars() && s <= Chars() + old) {
            CStringT copy(s, length);
            return Append(copy.GetString(), length);
        }
        T* p = Reserve(old + length);
        std::memcpy(p + old, s, sizeof(T) * length);
        SetLength(old + length);
        return *this;
    }
    CStringT& Append(const T* s) { return Append(s, Traits::Length(s)); }
    CStringT& operator+=(const CStringT& s) { return Append(s.GetString(), s.GetLength()); }
    CStringT& operator+=(const T* s) { return Append(s); }
    CStringT& operator+=(T ch) { return Append(&ch, 1); }
    void AppendChar(T ch) { Append(&ch, 1); }

    int Compare(const T* s) const
    {
        const T* a = GetString();
        const T* b = s ? s : EmptyText();
        for (;; ++a, ++b) {
            using U = typename std::make_unsigned<T>::type;
            if (*a != *b)
                return U(*a) < U(*b) ? -1 : 1;
            if (!*a)
                return 0;
        }
    }
    int CompareNoCase(const T* s) const { return Traits::CompareNoCase(GetString(), s ? s : EmptyText()); }

    int Find(T ch, int start = 0) const
    {
        const T* s = GetString();
        int length = GetLength();
        for (int i = 0; i < length; i += Traits::CharLen(s + i))
            if (i >= start && s[i] == ch)
                return i;
        return -1;
    }
    int Find(const T* sub, int start = 0) const
    {
        int subLength = Traits::Length(sub);
        const T* s = GetString();
        int length = GetLength();
        if (start < 0 || start > length)
            return -1;
        for (int i = 0; i + subLength <= length; i += Traits::CharLen(s + i)) {
            if (i >= start && std::memcmp(s + i, sub, sizeof(T) * subLength) == 0)
                return i;
            if (i >= length)
                break;
        }
        return -1;
    }
    int ReverseFind(T ch) const
    {
        const T* s = GetString();
        int found = -1;
        for (int i = 0; i < GetLength(); i += Traits::CharLen(s + i))
            if (s[i] == ch)
                found = i;
        return found;
    }
    int FindOneOf(const T* set) const
    {
        const T* s = GetString();
        for (int i = 0; i < GetLength(); i += Traits::CharLen(s + i))
            if (InSet(s + i, set))
                return i;
        return -1;
    }

    CStringT Mid(int first) const { return Mid(first, GetLength() - first); }
    CStringT Mid(int first, int count) const
    {
        if (first < 0)
            first = 0;
        if (count < 0)
            count = 0;
        int length = GetLength();
        if (first > length)
            first = length;
        if (count > length - first)
            count = length - first;
        return CStringT(GetString() + first, count);
    }
    CStringT Left(int count) const { return Mid(0, count); }
    CStringT Right(int count) const
    {
        if (count < 0)
            count = 0;
        int length = GetLength();
        return count >= length ? *this : CStringT(GetString() + length - count, count);
    }
    CStringT SpanIncluding(const T* set) const
    {
        const T* s = GetString();
        int i = 0;
        while (i < GetLength() && InSet(s + i, set))
            i += Traits::CharLen(s + i);
        return Left(i);
    }
    CStringT SpanExcluding(const T* set) const
    {
        const T* s = GetString();
        int i = 0;
        while (i < GetLength() && !InSet(s + i, set))
            i += Traits::CharLen(s + i);
        return Left(i);
    }

    CStringT& MakeUpper() { return MapSingleChars(&Traits::ToUpper); }
    CStringT& MakeLower() { return MapSingleChars(&Traits::ToLower); }

    int Replace(T oldChar, T newChar)
    {
        int count = 0;
        if (!m_data)
            return 0;
        T* s = Chars();
        for (int i = 0; i < GetLength(); i += Traits::CharLen(s + i)) {
            if (s[i] == oldChar && Traits::CharLen(s + i) == 1) {
                s[i] = newChar;
                ++count;
            }
        }
        return count;
    }
    int Replace(const T* oldText, const T* newText)
    {
        int oldLength = Traits::Length(oldText);
        if (oldLength == 0 || IsEmpty())
            return 0;
        int newLength = Traits::Length(newText);
        CStringT result;
        int count = 0;
        int pos = 0;
        for (int found; (found = Find(oldText, pos)) >= 0; pos = found + oldLength) {
            result.Append(GetString() + pos, found - pos);
            result.Append(newText, newLength);
            ++count;
        }
        if (count == 0)
            return 0;
        result.Append(GetString() + pos, GetLength() - pos);
        *this = std::move(result);
        return count;
    }
    int Remove(T ch)
    {
        if (!m_data)
            return 0;
        T* s = Chars();
        int length = GetLength();
        int out = 0;
        for (int i = 0; i < length;) {
            int n = Traits::CharLen(s + i);
            if (!(n == 1 && s[i] == ch)) {
                for (int k = 0; k < n; ++k)
                    s[out++] = s[i + k];
            }
            i += n;
        }
        SetLength(out);
        return length - out;
    }
    int Insert(int index, const T* s)
    {
        if (index < 0)
            index = 0;
        if (index > GetLength())
            index = GetLength();
        CStringT result(GetString(), index);
        result.Append(s);
        result.Append(GetString() + index, GetLength() - index);
        *this = std::move(result);
        return GetLength();
    }
    int Insert(int index, T ch) { T text[2] = {ch, 0}; return Insert(index, text); }
    int Delete(int index, int count = 1)
    {
        int length = GetLength();
        if (index < 0)
            index = 0;
        if (count <= 0 || index >= length)
            return length;
        if (count > length - index)
            count = length - index;
        T* s = Chars();
        std::memmove(s + index, s + index + count, sizeof(T) * (length - index - count));
        SetLength(length - count);
        return GetLength();
    }

    CStringT& Trim() { return TrimRight().TrimLeft(); }
    CStringT& Trim(T ch) { return TrimRight(ch).TrimLeft(ch); }
    CStringT& Trim(const T* set) { return TrimRight(set).TrimLeft(set); }
    CStringT& TrimLeft() { return TrimLeftWhere([](const T* p) { return Traits::IsSpace(*p); }); }
    CStringT& TrimLeft(T ch) { return TrimLeftWhere([ch](const T* p) { return *p == ch && Traits::CharLen(p) == 1; }); }
    CStringT& TrimLeft(const T* set) { return TrimLeftWhere([set](const T* p) { return InSet(p, set); }); }
    CStringT& TrimRight() { return TrimRightWhere([](const T* p) { return Traits::IsSpace(*p); }); }
    CStringT& TrimRight(T ch) { return TrimRightWhere([ch](const T* p) { return *p == ch && Traits::CharLen(p) == 1; }); }
    CStringT& TrimRight(const T* set) { return TrimRightWhere([set](const T* p) { return InSet(p, set); }); }

    void Format(const T* format, ...)
    {
        va_list args;
        va_start(args, format);
        Empty();
        AppendFormatV(format, args);
        va_end(args);
    }
    void FormatV(const T* format, va_list args)
    {
        Empty();
        AppendFormatV(format, args);
    }
    void AppendFormat(const T* format, ...)
    {
        va_list args;
        va_start(args, format);
        AppendFormatV(format, args);
        va_end(args);
    }
    void AppendFormatV(const T* format, va_list args)
    {
        int old = GetLength();
        for (int room = 256;; room *= 2) {
            T* p = Reserve(old + room);
            va_list copy;
            va_copy(copy, args);
            int written = Traits::VFormat(p + old, size_t(room) + 1, format, copy);
            va_end(copy);
            if (written >= 0 && written <= room) {
                SetLength(old + written);
                return;
            }
            if (room > (1 << 24))
                AtlThrow(E_INVALIDARG);
        }
    }

    // Skips leading delimiters, returns the next token and moves start past the
    // delimiter that ends it; at the end returns an empty string and sets start to -1.
    CStringT Tokenize(const T* delimiters, int& start) const
    {
        const T* s = GetString();
        int length = GetLength();
        if (start < 0 || start >= length) {
            start = -1;
            return CStringT();
        }
        int i = start;
        while (i < length && InSet(s + i, delimiters))
            i += Traits::CharLen(s + i);
        if (i >= length) {
            start = -1;
            return CStringT();
        }
        int tokenStart = i;
        while (i < length && !InSet(s + i, delimiters))
            i += Traits::CharLen(s + i);
        CStringT token(s + tokenStart, i - tokenStart);
        start = i < length ? i + Traits::CharLen(s + i) : i;
        return token;
    }

    friend CStringT operator+(const CStringT& a, const CStringT& b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(const CStringT& a, const T* b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(const T* a, const CStringT& b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(const CStringT& a, T b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(T a, const CStringT& b) { CStringT r(a); r += b; return r; }

    friend bool operator==(const CStringT& a, const CStringT& b)
    {
        return a.GetLength() == b.GetLength() && std::memcmp(a.GetString(), b.GetString(), sizeof(T) * a.GetLength()) == 0;
    }
    friend bool operator==(const CStringT& a, const T* b) { return a.Compare(b) == 0; }
    friend bool operator==(const T* a, const CStringT& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CStringT& a, const CStringT& b) { return !(a == b); }
    friend bool operator!=(const CStringT& a, const T* b) { return a.Compare(b) != 0; }
    friend bool operator!=(const T* a, const CStringT& b) { return b.Compare(a) != 0; }
    friend bool operator<(const CStringT& a, const CStringT& b) { return a.Compare(b) < 0; }
    friend bool operator<(const CStringT& a, const T* b) { return a.Compare(b) < 0; }
    friend bool operator>(const CStringT& a, const CStringT& b) { return a.Compare(b) > 0; }
    friend bool operator>(const CStringT& a, const T* b) { return a.Compare(b) > 0; }

private:
    static const T* EmptyText()
    {
        static const T empty[1] = {0};
        return empty;
    }
    T* Chars() const { return static_cast<T*>(m_data->data()); }

    static bool InSet(const T* p, const T* set)
    {
        if (!set)
            return false;
        int n = Traits::CharLen(p);
        for (const T* q = set; *q; q += Traits::CharLen(q)) {
            int m = Traits::CharLen(q);
            if (m == n && std::memcmp(p, q, sizeof(T) * n) == 0)
                return true;
        }
        return false;
    }

    void Release()
    {
        if (m_data) {
            if (m_data->pStringMgr)
                m_data->pStringMgr->Free(m_data);
            else
                StringHeap::Free(m_data);
            m_data = nullptr;
        }
    }

    // Makes room for length characters, keeping the content.
    T* Reserve(int length)
    {
        if (length < 0)
            AtlThrow(E_INVALIDARG);
        if (!m_data) {
            m_data = StringHeap::Allocate(length, sizeof(T));
            if (!m_data)
                AtlThrow(E_OUTOFMEMORY);
            Chars()[0] = 0;
        } else if (length > m_data->nAllocLength) {
            int grown = m_data->nAllocLength + m_data->nAllocLength / 2;
            if (grown < length)
                grown = length;
            CStringData* data = m_data->pStringMgr ? m_data->pStringMgr->Reallocate(m_data, grown, sizeof(T))
                                                   : StringHeap::Reallocate(m_data, grown, sizeof(T));
            if (!data)
                AtlThrow(E_OUTOFMEMORY);
            m_data = data;
        }
        return Chars();
    }
    T* PrepareWrite(int length)
    {
        T* p = Reserve(length);
        return p;
    }
    void SetLength(int length)
    {
        if (!m_data)
            return;
        m_data->nDataLength = length;
        Chars()[length] = 0;
    }
    void Assign(const T* s, int length)
    {
        if (!s || length <= 0) {
            if (m_data)
                SetLength(0);
            return;
        }
        if (m_data && s >= Chars() && s <= Chars() + m_data->nAllocLength) {
            CStringT copy(s, length);
            *this = std::move(copy);
            return;
        }
        T* p = Reserve(length);
        std::memcpy(p, s, sizeof(T) * length);
        SetLength(length);
    }
    void AssignConverted(const OtherChar* s);

    template <typename Pred>
    CStringT& TrimLeftWhere(Pred pred)
    {
        const T* s = GetString();
        int i = 0;
        while (i < GetLength() && pred(s + i))
            i += Traits::CharLen(s + i);
        if (i > 0)
            Delete(0, i);
        return *this;
    }
    template <typename Pred>
    CStringT& TrimRightWhere(Pred pred)
    {
        // Walk forward: only a forward walk knows where double-byte characters start.
        const T* s = GetString();
        int keep = 0;
        for (int i = 0; i < GetLength(); i += Traits::CharLen(s + i))
            if (!pred(s + i))
                keep = i + Traits::CharLen(s + i);
        if (keep < GetLength())
            SetLength(keep);
        return *this;
    }
    CStringT& MapSingleChars(T (*map)(T))
    {
        if (!m_data)
            return *this;
        T* s = Chars();
        for (int i = 0; i < GetLength(); i += Traits::CharLen(s + i))
            if (Traits::CharLen(s + i) == 1)
                s[i] = map(s[i]);
        return *this;
    }

    CStringData* m_data = nullptr;
};

template <>
inline void CStringT<char>::AssignConverted(const wchar_t* s)
{
    Empty();
    if (!s || !*s)
        return;
    int bytes = WideCharToMultiByte(kTextCodePage, 0, s, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return;
    char* p = GetBufferSetLength(bytes - 1);
    WideCharToMultiByte(kTextCodePage, 0, s, -1, p, bytes, nullptr, nullptr);
    SetLength(bytes - 1);
}

template <>
inline void CStringT<wchar_t>::AssignConverted(const char* s)
{
    Empty();
    if (!s || !*s)
        return;
    int chars = MultiByteToWideChar(kTextCodePage, 0, s, -1, nullptr, 0);
    if (chars <= 1)
        return;
    wchar_t* p = GetBufferSetLength(chars - 1);
    MultiByteToWideChar(kTextCodePage, 0, s, -1, p, chars);
    SetLength(chars - 1);
}

using CStringA = CStringT<char>;
using CStringW = CStringT<wchar_t>;
using CString = CStringA;
