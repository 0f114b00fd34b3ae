#pragma once
// Where the requirement results lead: the first shortfall (by severity, each waivable by a
// definition key) picks a shortfall page of the normal or the upgrade flow; a check that
// passes goes on by the flow's "AN08_ORDER".
#include <windows.h>

#include "CPageContext.h"

class CWBDialog;

enum RequirementFlow { REQ_FLOW_NORMAL, REQ_FLOW_UPGRADE };

enum ShortfallPageKind { SHORTFALL_NONE, SHORTFALL_SHORT, SHORTFALL_DISK, SHORTFALL_SOFTWARE };

struct RequirementShortfall {
    ShortfallPageKind page;
    const char* errorCode;  // null when page is SHORTFALL_NONE
};

// The first shortfall of results that no waiver key of the definition lets pass.
RequirementShortfall FindRequirementShortfall(const LONG (&results)[REQ_COUNT]);

// True when the context's results pass (next is then null, the error code untouched).
// Otherwise next is the flow's shortfall page, already created in frame after its code was
// stored as the context's error code; null when it could not be made. The page deletes itself
// with its window.
bool RouteRequirementResults(HWND frame, CPageContext* context, RequirementFlow flow, CWBDialog** next);

// The page after a passed check of the normal flow by "AN08_ORDER": the licence terms for an
// order, the registration for an installation; null for any other value (nothing happens).
CWBDialog* NewPageAfterCheckIn(HWND frame, CPageContext* context);
