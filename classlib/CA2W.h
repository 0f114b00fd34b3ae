#pragma once
// Text conversion at the interfaces that take only UTF-16: the program's code page 932 by
// default; CP_ACP only for bytes of an ANSI Windows call (see TextCodePage.h).
#include <windows.h>
#include <vector>

#include "TextCodePage.h"

class CA2W {
public:
    explicit CA2W(const char* text, UINT codePage = kTextCodePage)
    {
        if (!text)
            return;
        int chars = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
        if (chars <= 0)
            return;
        m_text.resize(size_t(chars));
        MultiByteToWideChar(codePage, 0, text, -1, m_text.data(), chars);
    }
    CA2W(const CA2W&) = delete;
    CA2W& operator=(const CA2W&) = delete;
    operator const wchar_t*() const { return m_text.empty() ? L"" : m_text.data(); }

private:
    std::vector<wchar_t> m_text;
};

class CW2A {
public:
    explicit CW2A(const wchar_t* text, UINT codePage = kTextCodePage)
    {
        if (!text)
            return;
        int bytes = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
        if (bytes <= 0)
            return;
        m_text.resize(size_t(bytes));
        WideCharToMultiByte(codePage, 0, text, -1, m_text.data(), bytes, nullptr, nullptr);
    }
    CW2A(const CW2A&) = delete;
    CW2A& operator=(const CW2A&) = delete;
    operator const char*() const { return m_text.empty() ? "" : m_text.data(); }

private:
    std::vector<char> m_text;
};
