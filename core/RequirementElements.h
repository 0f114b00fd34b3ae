#pragma once
// One entry each of the OS definition file's requirement sections. Every entry begins with
// a wildcard pattern matched against the running PC's system name; CPU, memory, disk and
// browser entries may also be written for "STANDARD", which every system meets.
#include "CSimpleArray.h"
#include "CPageContext.h"
#include "CStringT.h"

class COsReqElement {
public:
    // The key: pattern, then optional "SP<n>" and bitness tokens, comma-separated.
    void Parse(const char* key);

    CString pattern;
    int servicePack = -1;  // -1: any
    int bitness = -1;      // -1: any, else 32 or 64
    int result = REQ_RESULT_MET;
};

class COsBlackListElement {
public:
    CString pattern;
    CString build;  // compared as text
};

// CPU (MHz) and memory (MB) entries: thresholds, the last one written first, so a written
// "minimum, recommended" reads recommended then minimum.
class CThresholdReqElement {
public:
    // False (entry refused) for an empty key or value.
    bool Parse(const char* key, const char* value);
    // 2 when value meets thresholds[0], 1 when it meets thresholds[1], else 0.
    int Compare(DWORD value) const;

    CString pattern;
    CSimpleArray<int> thresholds;
};

class CCpuReqElement : public CThresholdReqElement {};
class CMemReqElement : public CThresholdReqElement {};

class CHddReqElement {
public:
    // False for an empty key or value, or a system or install part that is 0 or missing.
    bool Parse(const char* key, const char* value);

    CString pattern;
    int systemPart = 0;   // MB needed on the system drive in any case
    int installPart = 0;  // MB needed on the drive that receives the installation
};

struct BrowserVersion {
    int parts[4];
};

// Up to four "."-separated decimal numbers; parts not written are 0.
BrowserVersion ParseBrowserVersion(const char* text);
// <0, 0, >0 as a is lower than, equal to or higher than b, from the left.
int CompareBrowserVersions(const BrowserVersion& a, const BrowserVersion& b);

class CIeReqElement {
public:
    // The value: minimum version, then optionally the first version no longer supported.
    bool Parse(const char* key, const char* value);

    CString pattern;
    BrowserVersion minimum = {{0, 0, 0, 0}};
    BrowserVersion upper = {{9999, 9999, 9999, 9999}};
};
