#include "InputChecks.h"

#include <cstring>

#include "CPageContext.h"

namespace {

struct ProblemRange {
    WORD low;
    WORD high;  // 0: low's high byte is a whole lead byte
};

const ProblemRange kProblemChars[] = {
    {0x8160, 0x8161}, {0x817C, 0x817C}, {0x8191, 0x8192}, {0x81CA, 0x81CA}, {0x8840, 0x887E}, {0x8880, 0x889E},
    {0x8500, 0},      {0x8600, 0},      {0x8700, 0},      {0xEB00, 0},      {0xEC00, 0},      {0xED00, 0},
    {0xEE00, 0},      {0xEF00, 0},      {0xF000, 0},      {0xF100, 0},      {0xF200, 0},      {0xF300, 0},
    {0xF400, 0},      {0xF500, 0},      {0xF600, 0},      {0xF700, 0},      {0xF800, 0},      {0xF900, 0},
    {0xFA00, 0},      {0xFB00, 0},      {0xFC00, 0},      {0, 0},
};

bool IsLead(BYTE byte)
{
    return ::IsDBCSLeadByte(byte) != FALSE;
}

}  // namespace

BOOL IsProblemDbcsChar(BYTE lead, BYTE trail)
{
    const WORD code = WORD(lead << 8 | trail);
    for (const ProblemRange* entry = kProblemChars; entry->low; ++entry) {
        if (entry->high == 0 ? lead == (entry->low >> 8) : code >= entry->low && code <= entry->high)
            return TRUE;
    }
    return FALSE;
}

void RemoveProblemDbcsChars(CString& out, const char* text)
{
    CString kept;
    for (const BYTE* p = reinterpret_cast<const BYTE*>(text ? text : ""); *p; ++p) {
        if (!IsLead(*p)) {
            kept += char(*p);
            continue;
        }
        if (!p[1])
            break;
        if (!IsProblemDbcsChar(p[0], p[1])) {
            kept += char(p[0]);
            kept += char(p[1]);
        }
        ++p;
    }
    out = kept;
}

int CheckMailAddressText(const char* text)
{
    if (!text || !*text)
        return 1;
    for (const BYTE* p = reinterpret_cast<const BYTE*>(text); *p; ++p)
        if (IsLead(*p))
            return 2;
    for (const BYTE* p = reinterpret_cast<const BYTE*>(text); *p; ++p)
        if (*p < 33 || *p > 126)
            return 3;
    return 0;
}

int ValidateNickName(const char* nickname, const char* serialId, const CSimpleArray<COpsSerialInfo>& serials,
                     CString& offending)
{
    if (!nickname || !*nickname)
        return 1;
    if (std::strlen(nickname) > 30)
        return 2;
    bool onlyBlanks = true;
    for (const BYTE* p = reinterpret_cast<const BYTE*>(nickname); *p; ++p) {
        if (IsLead(*p) && p[1]) {
            const BYTE lead = p[0];
            const BYTE trail = p[1];
            ++p;
            if (trail < 64 || trail == 127 || trail > 252) {
                offending = CString(reinterpret_cast<const char*>(p - 1), 2);
                return 4;
            }
            if (IsProblemDbcsChar(lead, trail)) {
                offending = CString(reinterpret_cast<const char*>(p - 1), 2);
                return 5;
            }
            if (!(lead == 0x81 && trail == 0x40))
                onlyBlanks = false;
            continue;
        }
        if (*p < 32 || *p > 126) {
            offending = CString(char(*p));
            return *p >= 161 && *p <= 223 ? 3 : 4;
        }
        if (*p != ' ')
            onlyBlanks = false;
    }
    if (onlyBlanks) {
        offending = nickname;
        return 7;
    }
    for (int i = 0; i < serials.GetSize(); ++i) {
        const COpsSerialInfo& serial = serials[i];
        if (serial.SerialID != (serialId ? serialId : "") && serial.NickName == nickname)
            return 6;
    }
    return 0;
}

int ValidateContextNickName(CPageContext* context, CString& offending)
{
    if (!context)
        return 1;
    return ValidateNickName(context->customer.NickName, context->customer.SerialID, context->response.serials,
                            offending);
}
