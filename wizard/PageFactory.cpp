#include "PageFactory.h"

#include <climits>
#include <cstring>
#include <new>

#include "CCheckRequirement.h"
#include "CPageContext.h"
#include "CompletionSequences.h"
#include "NormalSequence.h"
#include "PageTable.h"
#include "pages/CErrorDialog.h"
#include "pages/CInstallFailedDialog.h"
#include "pages/CShortAppDialog.h"
#include "pages/CShortDialog.h"
#include "pages/CShortHDDDialog.h"
#include "pages/CUpgradeFailedDialog.h"

namespace {

template <typename T>
CWBDialog* Make()
{
    return new (std::nothrow) T;
}

CWBDialog* PageOfName(const char* name, CPageContext* context)
{
    if (std::strcmp(name, "NORMAL_SEQUENCE") == 0)
        return RunNormalSequence(context);
    if (std::strcmp(name, "COMPLETE_INSTALLATION") == 0)
        return RunCompleteInstallation();
    if (std::strcmp(name, "COMPLETE_UPGRADE") == 0)
        return RunCompleteUpgrade();
    const PageRow* row = FindPageRow(name);
    return row && row->byName ? row->make() : nullptr;
}

// Leading decimal digits; a run too long for 32 bits stays at UINT_MAX, so it can never wrap
// around to the number of a real code.
unsigned LeadingNumber(const char* text)
{
    unsigned value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        const unsigned digit = unsigned(*text - '0');
        value = value > (UINT_MAX - digit) / 10 ? UINT_MAX : value * 10 + digit;
    }
    return value;
}

CWBDialog* CreateShortfallPage(unsigned number, bool warning, CPageContext* context)
{
    if (number == 6)
        return Make<CShortAppDialog>();
    // A disk warning shows the drives' figures: the check runs once more to refresh them.
    if (number == 3 && warning) {
        if (context)
            CCheckRequirement().Run(nullptr, context);
        return Make<CShortHDDDialog>();
    }
    // Codes count the checks OS, IE, HDD, CPU, MEM; the context keeps them in another order.
    static const RequirementIndex kCheckOfCode[] = {REQ_OS, REQ_IE, REQ_HDD, REQ_CPU, REQ_MEM};
    if (context) {
        for (LONG& result : context->requirementResults)
            result = REQ_RESULT_MET;
        context->requirementResults[kCheckOfCode[number - 1]] = warning ? REQ_RESULT_WARNING : REQ_RESULT_NOT_MET;
    }
    return Make<CShortDialog>();
}

}  // namespace

CWBDialog* CreateErrorPage(const char* code, CPageContext* context)
{
    if (!code)
        return nullptr;
    if (std::strncmp(code, "EWS", 3) == 0) {
        if (context)
            context->errorCode = code;
        return Make<CErrorDialog>();
    }
    if (std::strncmp(code, "EXG", 3) != 0)
        return nullptr;
    if (context)
        context->errorCode = code;
    const unsigned number = LeadingNumber(code + 3);
    const char suffix = code[std::strlen(code) - 1];
    switch (number) {
    case 0:
    case 1001:
    case 1002:
    case 1003:
    case 1004:
    case 1006:
    case 1008:
    case 4001:
        return Make<CErrorDialog>();
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
        return CreateShortfallPage(number, suffix == 'W', context);
    case 2001:
    case 2002:
    case 2003:
    case 2004:
    case 2005:
    case 2999:
        if (context)
            context->exitValue = EXIT_INSTALL_ERROR;
        return Make<CErrorDialog>();
    case 9998:
    case 9999:
        if (context)
            context->exitValue = EXIT_INSTALL_NOT_CONFIRMED;
        if (suffix == 'U')
            return Make<CUpgradeFailedDialog>();
        return Make<CInstallFailedDialog>();
    default:
        return nullptr;
    }
}

CWBDialog* CreatePageWindow(CWBDialog* page, HWND parent, CPageContext* context)
{
    if (!page)
        return nullptr;
    bool finished = false;
    if (page->Create(parent, reinterpret_cast<LPARAM>(context), &finished))
        return page;
    // A page whose window went during its creation deleted itself with it.
    if (!finished)
        delete page;
    return nullptr;
}

CWBDialog* CreatePageObject(const char* name, HWND parent, CPageContext* context)
{
    if (!name)
        return nullptr;
    CWBDialog* page = IsErrorCode(name) ? CreateErrorPage(name, context) : PageOfName(name, context);
    return CreatePageWindow(page, parent, context);
}
