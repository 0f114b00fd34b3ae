#include "StartPage.h"

#include <cstring>

#include "CCoreLoader.h"
#include "CPageContext.h"
#include "CWBDialog.h"
#include "PageNames.h"

namespace {

struct Row {
    const char* id;
    StartPageChoice choice;
};

// The program's own pages and the sequences; the core library's pages follow from its list.
const Row kRows[] = {
    {"RESTART", {StartPageChoice::UpdatePage, nullptr, 1}},
    {"A_N04", {StartPageChoice::UpdatePage, nullptr, 0}},
    {"EXG3001", {StartPageChoice::FirewallFoundPage, nullptr, 0}},
    {"EXG6001", {StartPageChoice::ErrorPage, "EXG6001", -1}},
    {"EPN0260", {StartPageChoice::ErrorPage, "EPN0260", -1}},
    {"COMPLETE_INSTALLATION", {StartPageChoice::CorePage, "COMPLETE_INSTALLATION", 1}},
    {"COMPLETE_UPGRADE", {StartPageChoice::CorePage, "COMPLETE_UPGRADE", 1}},
    {"SKIP_PREAMBLE", {StartPageChoice::CorePage, "NORMAL_SEQUENCE", 1}},
    {"FIREWALL_CHECK", {StartPageChoice::FirewallCheck, nullptr, 1}},
};

}  // namespace

StartPageChoice ChooseStartPage(const char* id)
{
    if (!id)
        return {StartPageChoice::FirewallCheck, nullptr, 1};
    for (const Row& row : kRows)
        if (std::strcmp(id, row.id) == 0)
            return row.choice;
    for (const PageName& page : kPageNames)
        for (const char* startId : page.startIds)
            if (startId && std::strcmp(id, startId) == 0)
                return {StartPageChoice::CorePage, page.className, 0};
    // The core library's error page for an order-system or installer code.
    if (IsErrorCode(id))
        return {StartPageChoice::CorePage, id, 0};
    return {StartPageChoice::NoPage, nullptr, -1};
}

CWBDialog* BuildStartPage(const char* id, IStartPageSource& source, HWND frame, CPageContext& context)
{
    const StartPageChoice choice = ChooseStartPage(id);
    context.autoFlow = 1;
    if (choice.autoFlow >= 0)
        context.autoFlow = choice.autoFlow;
    CWBDialog* page = nullptr;
    switch (choice.kind) {
    case StartPageChoice::NoPage:
        break;
    case StartPageChoice::FirewallCheck:
        page = source.RunFirewallCheck(frame, &context);
        break;
    case StartPageChoice::ErrorPage:
        context.errorCode = choice.name;
        page = source.CreateHostPage(choice.kind, frame, &context);
        break;
    case StartPageChoice::UpdatePage:
    case StartPageChoice::FirewallFoundPage:
        page = source.CreateHostPage(choice.kind, frame, &context);
        break;
    case StartPageChoice::CorePage:
        page = source.CreateCorePage(choice.name, frame, &context);
        break;
    }

    // autoFlow is read again before every pass: a page may end the chain.
    while (context.autoFlow != 0 && page) {
        CWBDialog* candidate = source.ResolvePage(page, frame, &context);
        if (candidate == page)
            break;
        source.DestroyPage(page);
        page = candidate;
    }
    return page;
}

CWBDialog* CNoPageSource::ResolvePage(CWBDialog* page, HWND frame, CPageContext* context)
{
    return page->ResolvePage(frame, context);
}

void CNoPageSource::DestroyPage(CWBDialog* page)
{
    ::DestroyPage(page);
}

CWBDialog* CCorePageSource::CreateCorePage(const char* name, HWND frame, CPageContext* context)
{
    return CreatePage(name, frame, context);
}
