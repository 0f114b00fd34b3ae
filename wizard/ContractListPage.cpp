#include "ContractListPage.h"

#include <new>

#include "COpsRequest.h"
#include "PageFactory.h"
#include "pages/CErrorDialog.h"
#include "pages/CStatusDialog.h"

CWBDialog* NewContractListPage(HWND parent, CPageContext* context)
{
    COpsRequest refresh;
    CWBDialog* next = nullptr;
    if (refresh.Run("1002", context, TRUE) == 0)
        next = new (std::nothrow) CStatusDialog;
    else
        next = new (std::nothrow) CErrorDialog;
    return CreatePageWindow(next, parent, context);
}
