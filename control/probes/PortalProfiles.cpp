#include "PortalProfiles.h"

#include <windows.h>

#include <cstring>

#include "TextFileLines.h"
#include "TextSearch.h"

namespace {

constexpr const char kProfileMark[] = "[Profile_";

bool OfferedInRegion(const CString& companyCode, const CString& name)
{
    if (companyCode == "JARO")
        return name != "ルミオ・スクウェア接続";
    if (companyCode == "KELM")
        return name != "ルミオ・スクウェア" && name != "ルミオ・コミュニケーション" && name != "ルミオ速度測定サイト";
    return false;
}

}  // namespace

bool ProfileNameFromLine(const char* line, CString& name)
{
    name.Empty();
    const char* mark = FindText(line, kProfileMark);
    if (!mark)
        return false;
    const char* start = mark + std::strlen(kProfileMark);
    const char* end = start;
    while (*end && *end != ']' && *end != '\r' && *end != '\n')
        end += (IsDBCSLeadByte(BYTE(*end)) && end[1]) ? 2 : 1;
    name = CString(start, int(end - start));
    return true;
}

bool CollectPortalProfiles(PevlinState& state)
{
    state.profileList.RemoveAll();
    CTextFileLines lines(state.profileFilePath);
    if (!lines.IsOpen())
        return false;
    char line[260];
    CString name;
    while (lines.Next(line))
        if (ProfileNameFromLine(line, name) && OfferedInRegion(state.CompanyCode, name))
            state.profileList.Add(name);
    return true;
}

bool HasPortalProfile(const PevlinState& state)
{
    CTextFileLines lines(state.profileFilePath);
    char line[260];
    CString name;
    while (lines.Next(line))
        if (ProfileNameFromLine(line, name) && name == state.profileName)
            return true;
    return false;
}
