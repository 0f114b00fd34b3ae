#include "FirewallCheck.h"

#include "CCoreLoader.h"
#include "CFirewallFoundDialog.h"
#include "CKavoErrorDialog.h"
#include "CPageContext.h"
#include "CTextDef.h"
#include "CUpdateDialog.h"
#include "FirewallScan.h"
#include "OwnPage.h"
#include "ProgramFolder.h"

CWBDialog* RunFirewallCheck(HWND frame, CPageContext* context, const char* listPath)
{
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    FirewallScan scan;
    if (listPath)
        scan.listPath = listPath;
    scan.Start(nullptr, GetProgramFolder() + "\\kavocore.dll", true);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));

    if (scan.found.GetSize() == 0) {
        if (CTextDef::HasText("TWEAK_SKIP_UPDATE"))
            return CreatePage("NORMAL_SEQUENCE", frame, context);
        return NewOwnPage<CUpdateDialog>(frame, context);
    }
    CSimpleArray<CString> shown;
    CString text;
    for (int i = 0; i < scan.found.GetSize(); ++i) {
        if (shown.Find(scan.found[i]) >= 0)
            continue;
        shown.Add(scan.found[i]);
        text += scan.found[i];
        text += "\r\n";
    }
    context->SetValue("_FoundFirewalls", text);
    return NewOwnPage<CFirewallFoundDialog>(frame, context);
}

CWBDialog* CMainPageSource::CreateHostPage(StartPageChoice::Kind kind, HWND frame, CPageContext* context)
{
    switch (kind) {
    case StartPageChoice::UpdatePage:
        return NewOwnPage<CUpdateDialog>(frame, context);
    case StartPageChoice::FirewallFoundPage:
        return NewOwnPage<CFirewallFoundDialog>(frame, context);
    case StartPageChoice::ErrorPage:
        return NewOwnPage<CKavoErrorDialog>(frame, context);
    default:
        return nullptr;
    }
}

CWBDialog* CMainPageSource::RunFirewallCheck(HWND frame, CPageContext* context)
{
    return ::RunFirewallCheck(frame, context);
}
