#pragma once
// The start of an ordinary run: definition files, the cache of definition values for the
// companion program, the installed product's upgrade or migration, then the sign-in. Runs on
// the caller's thread and blocks it for the network work. Each page returned is constructed
// without a window; the caller creates its window (or deletes it) and then owns it.
#include <windows.h>

class CWBDialog;
struct CPageContext;

// Each returns null when ctx is null. Out of memory raises.

// The page the wizard starts with.
CWBDialog* RunNormalSequence(CPageContext* ctx);
// The notice when the order system says it has one, else the sign-in page.
CWBDialog* RunNoticeStep(CPageContext* ctx);
// After an immediate sign-in: the contract list, the requirement results, or the serial
// registration, depending on what the customer already has.
CWBDialog* RunAfterLoginStep(CPageContext* ctx);
