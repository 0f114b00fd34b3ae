#pragma once
#include "CStringT.h"

// Drops the leading zero of a version part: "5.01" -> "5.1", "5.0" -> "5", "1,05" -> "1,5";
// "2.0.1" and "10" stay. Only the first "," part is looked at, then every "." part.
CString NormalizeVersionText(const char* text);
