#include "PrintSpooler.h"

namespace {

class CSystemPrintSpooler : public IPrintSpooler {
public:
    int StartDoc(HDC dc, const DOCINFOA& info) override { return ::StartDocA(dc, &info); }
    int StartPage(HDC dc) override { return ::StartPage(dc); }
    int EndPage(HDC dc) override { return ::EndPage(dc); }
    int EndDoc(HDC dc) override { return ::EndDoc(dc); }
    int AbortDoc(HDC dc) override { return ::AbortDoc(dc); }
};

}  // namespace

IPrintSpooler& GetSystemPrintSpooler()
{
    static CSystemPrintSpooler spooler;
    return spooler;
}
