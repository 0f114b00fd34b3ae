#include "FormatDateText.h"

#include "CTextDef.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

CString FormatDateText(const char* date)
{
    const char* first = date ? date : "";
    while (IsBlank(*first))
        ++first;
    const char* end = first;
    for (const char* p = first; *p; ++p)
        if (!IsBlank(*p))
            end = p + 1;
    const int length = int(end - first);
    if (length == 0)
        return CTextDef::GetText("COMMON_EMPTYDATE");
    const CString text(first, length);
    if (length < 10)
        return text;
    CString result = text.Left(4);
    result += "年";
    result += text.Mid(5, 2);
    result += "月";
    result += text.Mid(8, 2);
    result += "日";
    return result;
}
