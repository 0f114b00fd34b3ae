#pragma once
// An order-system date as the pages show it.
#include "CStringT.h"

// "2023-04-01" (a time after it is dropped) gives "2023年04月01日". A blank or empty text
// gives the text of COMMON_EMPTYDATE; a trimmed text shorter than a date (ten characters)
// holds no date to rewrite and comes back trimmed.
CString FormatDateText(const char* date);
