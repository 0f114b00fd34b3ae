#include "Text.h"

namespace scripted {

namespace {
constexpr UINT kCodePage = 932;
}

std::string Narrow(const wchar_t* text, int length)
{
    if (!text || length == 0)
        return {};
    const int size = ::WideCharToMultiByte(kCodePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string bytes(size_t(size), '\0');
    ::WideCharToMultiByte(kCodePage, 0, text, length, &bytes[0], size, nullptr, nullptr);
    if (length < 0 && !bytes.empty())
        bytes.pop_back();
    return bytes;
}

std::string NarrowBstr(BSTR text)
{
    return text ? Narrow(text, int(::SysStringLen(text))) : std::string();
}

std::wstring Wide(const std::string& bytes)
{
    if (bytes.empty())
        return {};
    const int size = ::MultiByteToWideChar(kCodePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring text(size_t(size), L'\0');
    ::MultiByteToWideChar(kCodePage, 0, bytes.data(), int(bytes.size()), &text[0], size);
    return text;
}

BSTR AllocBstr(const std::string& bytes)
{
    const std::wstring text = Wide(bytes);
    return ::SysAllocStringLen(text.data(), UINT(text.size()));
}

std::string VariantText(const VARIANT* value)
{
    if (!value)
        return {};
    if (value->vt == (VT_BYREF | VT_VARIANT))
        return VariantText(value->pvarVal);
    if (value->vt == VT_BSTR)
        return NarrowBstr(value->bstrVal);
    if (value->vt == (VT_BYREF | VT_BSTR) && value->pbstrVal)
        return NarrowBstr(*value->pbstrVal);
    return {};
}

std::string AsciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

bool EqualsNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

}  // namespace scripted
