#pragma once
// Disk sizes for the shortfall page: MB below a gigabyte, else one truncated decimal of GB or TB.
#include "CStringT.h"

CString FormatMegabytes(unsigned megabytes);
