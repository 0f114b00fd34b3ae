#pragma once
// When a launcher-started run lets pages skip themselves, and how a page that skips itself
// names the page to show instead.
#include <windows.h>

#include <new>

#include "PageFactory.h"

struct CPageContext;

// The host started a sequence: the context is given and its autoFlow is set.
bool IsAutomatic(const CPageContext* context);
// Automatic, with a launcher block whose option word (byte 408) is not -1.
bool IsOptionGiven(const CPageContext* context);
// Automatic, with a launcher block whose option word has none of the bits 0xf000; -1 never
// counts as accepted.
bool IsOptionAccepted(const CPageContext* context);
// Automatic, with a launcher block that names both a customer id and an access key.
bool HasLauncherCredentials(const CPageContext* context);

// A new Page whose window is already a child of frame with context, as every page passed on
// by a substitution is; null when it could not be made. The page deletes itself with its window.
template <typename Page>
CWBDialog* NewPageIn(HWND frame, CPageContext* context)
{
    return CreatePageWindow(new (std::nothrow) Page, frame, context);
}
