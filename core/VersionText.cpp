#include "VersionText.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

CString NormalizeVersionText(const char* text)
{
    CString version(text);
    int separator = version.Find(",0");
    if (separator < 0)
        separator = version.Find(".0");
    while (separator >= 0) {
        const int after = separator + 2;
        if (after == version.GetLength())
            version.Delete(separator, 2);
        else if (IsDigit(version.Mid(after, 1).GetAt(0)))
            version.Delete(separator + 1);
        separator = version.Find(".0", separator + 1);
    }
    return version;
}
