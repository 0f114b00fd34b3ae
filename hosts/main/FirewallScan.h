#pragma once
// Looks for installed products that get in the way of the installation, by the names of
// their uninstall keys in both registry views, and collects their display names.
#include <windows.h>

#include "CSimpleArray.h"
#include "CStringT.h"

// The lines of text split at "\n", each cut at its first "#" and trimmed; empty ones skipped.
void ParseProductList(const char* text, CSimpleArray<CString>& products);

// The lines of text between "\r\n" separators; a separator at the very end opens no line, and
// an empty text is one empty line.
void SplitCrLfLines(const CString& text, CSimpleArray<CString>& lines);

class FirewallScan {
public:
    FirewallScan();

    // Keeps window and path, runs the worker and waits for it when asked. Returns 0.
    int Start(HWND notifyWindow, const char* libraryPath, bool wait);
    // The worker's body, on the calling thread: the product list, the matching, and the
    // report to notifyWindow (none when it is null).
    void Run();
    // Matches products (extended by the exclusion list text) against the uninstall keys.
    void Match(CSimpleArray<CString>& products, const CString& exclusionList);

    CSimpleArray<CString> found;
    HWND notifyWindow = nullptr;
    CString libraryPath;
    // "fwlist.dat" in the program's folder; tests point it elsewhere.
    CString listPath;

private:
    static unsigned __stdcall Worker(void* scan);
    void LoadProductList(CSimpleArray<CString>& products) const;
};
