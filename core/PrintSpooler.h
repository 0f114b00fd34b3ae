#pragma once
// The spooler calls of one print job, so that a job can run against a recorder in tests.
#include <windows.h>

class IPrintSpooler {
public:
    virtual ~IPrintSpooler() = default;
    // Each returns as its system function does: a job id or a positive value on success.
    virtual int StartDoc(HDC dc, const DOCINFOA& info) = 0;
    virtual int StartPage(HDC dc) = 0;
    virtual int EndPage(HDC dc) = 0;
    virtual int EndDoc(HDC dc) = 0;
    virtual int AbortDoc(HDC dc) = 0;
};

// The system's spooler functions; one for the process.
IPrintSpooler& GetSystemPrintSpooler();
