#include "HostsFileProbe.h"

#include "ProbeSettings.h"
#include "TextFileLines.h"
#include "TextSearch.h"

bool HostsLineMapsHost(const char* line, const char* host)
{
    const char* name = FindText(line, host);
    if (!name)
        return false;
    const char* comment = FindText(line, "#");
    return !comment || comment > name;
}

bool HostsHasV6TestSite(const PevlinState& state)
{
    if (!state.hostsFilePath[0])
        return false;
    CTextFileLines lines(state.hostsFilePath);
    char line[260];
    while (lines.Next(line))
        if (HostsLineMapsHost(line, kV6TestSiteHost))
            return true;
    return false;
}
