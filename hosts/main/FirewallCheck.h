#pragma once
// The start step that looks for blocking products before the wizard proper, and the start
// pages that the program makes itself.
#include <windows.h>

#include "StartPage.h"

class CWBDialog;
struct CPageContext;

// The firewall-found page when a product was found (its names, each once, in
// "_FoundFirewalls"), else the update page, or the normal sequence under TWEAK_SKIP_UPDATE.
// listPath: where the product list is read; null for "fwlist.dat" beside the program.
CWBDialog* RunFirewallCheck(HWND frame, CPageContext* context, const char* listPath = nullptr);

// The core library's pages, and the update, firewall-found and error pages of the program.
class CMainPageSource : public CCorePageSource {
public:
    CWBDialog* CreateHostPage(StartPageChoice::Kind kind, HWND frame, CPageContext* context) override;
    CWBDialog* RunFirewallCheck(HWND frame, CPageContext* context) override;
};
