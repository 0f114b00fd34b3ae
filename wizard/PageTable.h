#pragma once
// The core library's page table: one row per page class, in the order of KAVO_PAGE_LIST
// (names/PageNames.h), with what the factory and the page gallery need without a page
// object: how to make one, its step letters and whether the frame's Close stays available.
#include <cstddef>

#include "names/PageNames.h"

class CWBDialog;

struct PageRow {
    const char* className;
    bool byName;              // the factory makes it from its class name
    const char* startIds[2];  // screen ids the main program starts with it; null where none
    const char* stepLetters;  // null: the page passes none
    bool closeEnabled;
    CWBDialog* (*make)();     // a new page without window; null when out of memory
};

struct PageRows {
    const PageRow* begin() const;
    const PageRow* end() const;
    size_t size() const { return size_t(end() - begin()); }
};

PageRows AllPages();

// The row of className (exact, case-sensitive), or null.
const PageRow* FindPageRow(const char* className);

// The step letters of className's page, found without making one: true for a page class,
// letters then null when it passes none; false (letters null) for any other name.
bool GetPageStepLetters(const char* className, const char** letters);
