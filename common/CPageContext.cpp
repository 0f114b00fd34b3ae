#include "CPageContext.h"

#include <cstring>

CPageContext::CPageContext(CWBDialog* owner)
    : cleanupFlags(0), exitValue(0), runMode(RUNMODE_NORMAL), launcherParams(nullptr),
      ownerPage(owner), notifyWindow(nullptr), notifyMessage(0), autoFlow(0)
{
    std::memset(cleanupFolder, 0, sizeof cleanupFolder);
    std::memset(requirementResults, 0, sizeof requirementResults);
    std::memset(diskFigures, 0, sizeof diskFigures);
}

CPageContext::~CPageContext() = default;

void CPageContext::DestroyAndDelete(unsigned flags)
{
    if (flags & 1)
        delete this;
    else
        this->~CPageContext();
}

CString CPageContext::GetValue(const char* key) const
{
    CString value;
    values.Lookup(CString(key), value);
    return value;
}

void CPageContext::SetValue(const char* key, const char* value)
{
    values.SetAt(CString(key), CString(value ? value : ""));
}

void CPageContext::ClearFlowData()
{
    values.RemoveAll();
    response.agreements.RemoveAll();
    response.serials.RemoveAll();
    customer.selectedSerialIDs.RemoveAll();
    conflictLists.displayNames.RemoveAll();
    conflictLists.uninstallKeys.RemoveAll();
}

bool CPageContext::IsValueSet() const
{
    if (!launcherParams)
        return false;
    LONG value;
    std::memcpy(&value, launcherParams + LAUNCHER_QUIET_OFFSET, sizeof value);
    return value != -1;
}

COpsSerialInfo* CPageContext::FindSerial(const char* serialId)
{
    if (!serialId)
        return nullptr;
    for (int i = response.serials.GetSize() - 1; i >= 0; --i)
        if (response.serials[i].SerialID == serialId)
            return &response.serials[i];
    return nullptr;
}

const char* CPageContext::GetFirstSerialAwaitingInstall() const
{
    for (int i = 0; i < response.serials.GetSize(); ++i)
        if (response.serials[i].SerialStatus == 1)
            return response.serials[i].SerialID;
    return nullptr;
}

int CPageContext::GetSerialStatus(const char* serialId) const
{
    if (!serialId)
        return -1;
    for (int i = 0; i < response.serials.GetSize(); ++i)
        if (response.serials[i].SerialID == serialId)
            return response.serials[i].SerialStatus;
    return -1;
}
