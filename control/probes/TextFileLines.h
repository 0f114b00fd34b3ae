#pragma once
// Reads a small text file line by line, each line cut at 259 bytes (whole characters) and
// without its line end (LF or CR LF). Bytes after a NUL in a line are dropped.
#include <cstdio>

class CTextFileLines {
public:
    explicit CTextFileLines(const char* path);
    ~CTextFileLines();
    CTextFileLines(const CTextFileLines&) = delete;
    CTextFileLines& operator=(const CTextFileLines&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    // False at the end of the file; line then holds an empty text.
    bool Next(char (&line)[260]);

private:
    FILE* m_file = nullptr;
};
