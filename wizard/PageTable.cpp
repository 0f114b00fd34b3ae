#include "PageTable.h"

#include <cstring>
#include <new>

#include "AllPages.h"

namespace {

template <typename T>
CWBDialog* Make()
{
    return new (std::nothrow) T;
}

#define KAVO_PAGE_ROW(pageClass, byName, firstId, secondId) \
    {#pageClass, byName, {firstId, secondId}, pageClass::kStepLetters, pageClass::kCloseEnabled, Make<pageClass>},
const PageRow kRows[] = {KAVO_PAGE_LIST(KAVO_PAGE_ROW)};
#undef KAVO_PAGE_ROW

}  // namespace

const PageRow* PageRows::begin() const
{
    return kRows;
}

const PageRow* PageRows::end() const
{
    return kRows + sizeof kRows / sizeof kRows[0];
}

PageRows AllPages()
{
    return PageRows();
}

const PageRow* FindPageRow(const char* className)
{
    if (!className)
        return nullptr;
    for (const PageRow& row : AllPages())
        if (std::strcmp(row.className, className) == 0)
            return &row;
    return nullptr;
}

bool GetPageStepLetters(const char* className, const char** letters)
{
    const PageRow* row = FindPageRow(className);
    if (letters)
        *letters = row ? row->stepLetters : nullptr;
    return row != nullptr;
}
