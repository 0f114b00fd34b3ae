#pragma once
// Conversions between the browser's UTF-16 strings and the CP932 bytes that pages, URLs and
// recorded values use.
#include <windows.h>
#include <oaidl.h>

#include <string>

namespace scripted {

std::string Narrow(const wchar_t* text, int length = -1);
std::string NarrowBstr(BSTR text);
std::wstring Wide(const std::string& bytes);
// A new BSTR the caller frees; null only when out of memory.
BSTR AllocBstr(const std::string& bytes);
// The text of a VARIANT that is or holds (by reference) a string; empty otherwise.
std::string VariantText(const VARIANT* value);
std::string AsciiLower(std::string text);
bool EqualsNoCase(const std::string& a, const std::string& b);

}  // namespace scripted
