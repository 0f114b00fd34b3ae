#include "TextFileLines.h"

#include <string>

#include "BoundedText.h"

CTextFileLines::CTextFileLines(const char* path)
{
    if (path && *path)
        m_file = std::fopen(path, "rb");
}

CTextFileLines::~CTextFileLines()
{
    if (m_file)
        std::fclose(m_file);
}

bool CTextFileLines::Next(char (&line)[260])
{
    line[0] = '\0';
    if (!m_file)
        return false;
    // LF is never a trail byte in code page 932, so it always ends a line.
    std::string raw;
    bool any = false;
    bool cut = false;
    for (int c; (c = std::fgetc(m_file)) != EOF;) {
        any = true;
        if (c == '\n')
            break;
        if (raw.size() < sizeof line + 1)
            raw += char(c);
        else
            cut = true;
    }
    if (!cut && !raw.empty() && raw.back() == '\r')
        raw.pop_back();
    CopyBounded(line, raw.c_str());
    return any;
}
