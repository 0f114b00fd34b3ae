#include "FormatMegabytes.h"

CString FormatMegabytes(unsigned megabytes)
{
    CString text;
    if (megabytes < 1024) {
        text.Format("%uMB", megabytes);
        return text;
    }
    unsigned value = megabytes;
    char unit = 'G';
    if (megabytes >= 1024u * 1024u) {
        value = megabytes / 1024;
        unit = 'T';
    }
    const unsigned tenths = value * 10 / 1024 % 10;
    text.Format("%u.%u%cB", value / 1024, tenths, unit);
    return text;
}
