#pragma once
// The program's own pages are made like the core library's: a new page whose window is a
// child of frame with context. The page deletes itself with its window; a page whose window
// could not be made is deleted here.
#include <windows.h>

#include <new>

#include "CWBDialog.h"

struct CPageContext;

template <typename Page>
CWBDialog* NewOwnPage(HWND frame, CPageContext* context)
{
    Page* page = new (std::nothrow) Page;
    if (!page)
        return nullptr;
    bool finished = false;
    if (page->Create(frame, reinterpret_cast<LPARAM>(context), &finished))
        return page;
    if (!finished)
        delete page;
    return nullptr;
}
