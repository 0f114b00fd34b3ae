#include "RequirementRouting.h"

#include "AutoFlow.h"
#include "CTextDef.h"
#include "pages/CEULADialog.h"
#include "pages/CRegClientDialog.h"
#include "pages/CShortAppDialog.h"
#include "pages/CShortDialog.h"
#include "pages/CShortHDDDialog.h"
#include "pages/CUpgradeShortAppDialog.h"
#include "pages/CUpgradeShortDialog.h"
#include "pages/CUpgradeShortHDDDialog.h"

namespace {

enum Test { NOT_MET_FULLY, NOT_MET, WARNING };

struct Rule {
    RequirementIndex item;
    Test test;
    const char* waiver;
    const char* errorCode;
    ShortfallPageKind page;
};

// Errors first, then the warnings that still stop the flow; the first that applies wins.
const Rule kRules[] = {
    {REQ_OS, NOT_MET_FULLY, "TWEAK_IGNORE_SRCHK_OS_ERR", "EXG0001", SHORTFALL_SHORT},
    {REQ_IE, NOT_MET_FULLY, "TWEAK_IGNORE_SRCHK_IE_ERR", "EXG0002", SHORTFALL_SHORT},
    {REQ_HDD, NOT_MET, "TWEAK_IGNORE_SRCHK_HDD_ERR", "EXG0003", SHORTFALL_SHORT},
    {REQ_CPU, NOT_MET, "TWEAK_IGNORE_SRCHK_CPU_ERR", "EXG0004", SHORTFALL_SHORT},
    {REQ_MEM, NOT_MET, "TWEAK_IGNORE_SRCHK_MEM_ERR", "EXG0005", SHORTFALL_SHORT},
    {REQ_APP, NOT_MET_FULLY, "TWEAK_IGNORE_SRCHK_APP_ERR", "EXG0006", SHORTFALL_SOFTWARE},
    {REQ_HDD, WARNING, "TWEAK_IGNORE_SRCHK_HDD_ERR", "EXG0003", SHORTFALL_DISK},
    {REQ_CPU, WARNING, "TWEAK_IGNORE_SRCHK_CPU_ERR", "EXG0004", SHORTFALL_SHORT},
    {REQ_MEM, WARNING, "TWEAK_IGNORE_SRCHK_MEM_ERR", "EXG0005", SHORTFALL_SHORT},
};

bool Applies(const Rule& rule, LONG result)
{
    switch (rule.test) {
    case NOT_MET_FULLY:
        return result != REQ_RESULT_MET;
    case NOT_MET:
        return result == REQ_RESULT_NOT_MET;
    case WARNING:
        return result == REQ_RESULT_WARNING;
    }
    return false;
}

CWBDialog* NewPage(ShortfallPageKind page, RequirementFlow flow, HWND frame, CPageContext* context)
{
    const bool upgrade = flow == REQ_FLOW_UPGRADE;
    switch (page) {
    case SHORTFALL_SHORT:
        return upgrade ? NewPageIn<CUpgradeShortDialog>(frame, context) : NewPageIn<CShortDialog>(frame, context);
    case SHORTFALL_DISK:
        return upgrade ? NewPageIn<CUpgradeShortHDDDialog>(frame, context)
                       : NewPageIn<CShortHDDDialog>(frame, context);
    case SHORTFALL_SOFTWARE:
        return upgrade ? NewPageIn<CUpgradeShortAppDialog>(frame, context)
                       : NewPageIn<CShortAppDialog>(frame, context);
    case SHORTFALL_NONE:
        break;
    }
    return nullptr;
}

}  // namespace

RequirementShortfall FindRequirementShortfall(const LONG (&results)[REQ_COUNT])
{
    if (CTextDef::HasText("TWEAK_IGNORE_SRCHK_ERR"))
        return {SHORTFALL_NONE, nullptr};
    for (const Rule& rule : kRules)
        if (Applies(rule, results[rule.item]) && !CTextDef::HasText(rule.waiver))
            return {rule.page, rule.errorCode};
    return {SHORTFALL_NONE, nullptr};
}

bool RouteRequirementResults(HWND frame, CPageContext* context, RequirementFlow flow, CWBDialog** next)
{
    *next = nullptr;
    const RequirementShortfall shortfall = FindRequirementShortfall(context->requirementResults);
    if (shortfall.page == SHORTFALL_NONE)
        return true;
    // The page reads its code while it starts.
    context->errorCode = shortfall.errorCode;
    *next = NewPage(shortfall.page, flow, frame, context);
    return false;
}

CWBDialog* NewPageAfterCheckIn(HWND frame, CPageContext* context)
{
    const CString order = context->GetValue("AN08_ORDER");
    if (order == "新規契約" || order == "追加契約")
        return NewPageIn<CEULADialog>(frame, context);
    if (order == "インストール" || order == "再インストール")
        return NewPageIn<CRegClientDialog>(frame, context);
    return nullptr;
}
