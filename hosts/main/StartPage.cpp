#include "StartPage.h"

#include <cstring>

#include "CCoreLoader.h"
#include "CPageContext.h"
#include "CWBDialog.h"

namespace {

struct Row {
    const char* id;
    StartPageChoice choice;
};

const Row kRows[] = {
    {"RESTART", {StartPageChoice::UpdatePage, nullptr, 1}},
    {"A_N04", {StartPageChoice::UpdatePage, nullptr, 0}},
    {"EXG3001", {StartPageChoice::FirewallFoundPage, nullptr, 0}},
    {"EXG6001", {StartPageChoice::ErrorPage, "EXG6001", -1}},
    {"EPN0260", {StartPageChoice::ErrorPage, "EPN0260", -1}},
    {"A_N07", {StartPageChoice::CorePage, "CLoginDialog", 0}},
    {"A_N08", {StartPageChoice::CorePage, "CStatusDialog", 0}},
    {"A_N08_2", {StartPageChoice::CorePage, "CModifyStatusDialog", 0}},
    {"B_N01", {StartPageChoice::CorePage, "CStartDialog", 0}},
    {"B_N02", {StartPageChoice::CorePage, "CCheckComputerDialog", 0}},
    {"B_N03", {StartPageChoice::CorePage, "CCheckComputerDialog", 0}},
    {"B_N04", {StartPageChoice::CorePage, "CEULADialog", 0}},
    {"B_N05", {StartPageChoice::CorePage, "CPreSignupDialog", 0}},
    {"B_N05_2", {StartPageChoice::CorePage, "CSignupDialog", 0}},
    {"B_N06", {StartPageChoice::CorePage, "CPostSignupDialog", 0}},
    {"B_N07", {StartPageChoice::CorePage, "CRegClientDialog", 0}},
    {"B_N08", {StartPageChoice::CorePage, "CPreInstallDialog", 0}},
    {"B_N09", {StartPageChoice::CorePage, "CInstallDialog", 0}},
    {"B_N10", {StartPageChoice::CorePage, "CPostInstallDialog", 0}},
    {"B_E02_2", {StartPageChoice::CorePage, "CShortDialog", 0}},
    {"B_E02_HDD_2", {StartPageChoice::CorePage, "CShortHDDDialog", 0}},
    {"B_E02_SOFT_2", {StartPageChoice::CorePage, "CShortAppDialog", 0}},
    {"B_E09", {StartPageChoice::CorePage, "CInstallFailedDialog", 0}},
    {"C_N01", {StartPageChoice::CorePage, "CPreCancelDialog", 0}},
    {"C_N02", {StartPageChoice::CorePage, "CPostCancelDialog", 0}},
    {"D_N01", {StartPageChoice::CorePage, "CPreUpgradeDialog", 0}},
    {"D_N03", {StartPageChoice::CorePage, "CUpgradeEULADialog", 0}},
    {"D_N05", {StartPageChoice::CorePage, "CPostUpgradeDialog", 0}},
    {"D_E02_2", {StartPageChoice::CorePage, "CUpgradeShortDialog", 0}},
    {"D_E02_HDD_2", {StartPageChoice::CorePage, "CUpgradeShortHDDDialog", 0}},
    {"D_E02_SOFT_2", {StartPageChoice::CorePage, "CUpgradeShortAppDialog", 0}},
    {"D_E05", {StartPageChoice::CorePage, "CUpgradeFailedDialog", 0}},
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
    // The core library's error page for an order-system or installer code.
    if (std::strncmp(id, "EWS", 3) == 0 || std::strncmp(id, "EXG", 3) == 0)
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
