#pragma once
// Which page the main program starts with, from its start-page id.
#include <windows.h>

class CWBDialog;
struct CPageContext;

struct StartPageChoice {
    enum Kind {
        NoPage,
        FirewallCheck,      // the firewall-product check step
        UpdatePage,         // the program's own update page
        FirewallFoundPage,  // the program's own page for a found firewall product
        ErrorPage,          // the program's own error page for errorCode
        CorePage,           // a page or sequence of the core library, by name
    };
    Kind kind;
    const char* name;  // core page name, or the error code of ErrorPage
    LONG autoFlow;     // -1 leaves the context's value as it is
};

// An exact, case-sensitive match of the whole id; null chooses the firewall check.
StartPageChoice ChooseStartPage(const char* id);

// Where start pages come from. The frame and the core library supply the real ones; until
// they exist every request answers "no page".
class IStartPageSource {
public:
    virtual CWBDialog* CreateCorePage(const char* name, HWND frame, CPageContext* context) = 0;
    virtual CWBDialog* CreateHostPage(StartPageChoice::Kind kind, HWND frame, CPageContext* context) = 0;
    virtual CWBDialog* RunFirewallCheck(HWND frame, CPageContext* context) = 0;
    // The page that should be shown in place of page (page itself when it stays).
    virtual CWBDialog* ResolvePage(CWBDialog* page, HWND frame, CPageContext* context) = 0;
    virtual void DestroyPage(CWBDialog* page) = 0;

protected:
    ~IStartPageSource() = default;
};

// Pages decide for themselves; none can be made yet: the core library's and the program's
// own pages come later.
class CNoPageSource : public IStartPageSource {
public:
    CWBDialog* CreateCorePage(const char*, HWND, CPageContext*) override { return nullptr; }
    CWBDialog* CreateHostPage(StartPageChoice::Kind, HWND, CPageContext*) override { return nullptr; }
    CWBDialog* RunFirewallCheck(HWND, CPageContext*) override { return nullptr; }
    CWBDialog* ResolvePage(CWBDialog* page, HWND frame, CPageContext* context) override;
    void DestroyPage(CWBDialog* page) override;
};

// The core library's pages through the program's loader.
class CCorePageSource : public CNoPageSource {
public:
    CWBDialog* CreateCorePage(const char* name, HWND frame, CPageContext* context) override;
};

// Builds the chosen page (writing autoFlow and, for the error pages, the error code into the
// context), then follows the page chain while autoFlow is set. Returns the page to show.
CWBDialog* BuildStartPage(const char* id, IStartPageSource& source, HWND frame, CPageContext& context);
