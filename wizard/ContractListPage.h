#pragma once
// The way back to the contract list that several pages offer.
#include <windows.h>

class CPageContext;
class CWBDialog;

// Refreshes the status ("1002") and creates, in parent, the contract list's page to show
// the new answer, or the error page for the failed refresh. Null only when no page could
// be made.
CWBDialog* NewContractListPage(HWND parent, CPageContext* context);
