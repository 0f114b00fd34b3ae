#pragma once
// What the order system is sent and what the customer chose in this run.
#include <windows.h>
#include "CStringT.h"
#include "CSimpleArray.h"

struct COpsCustomerData {
    CString responseFileName;
    CString SerialID;
    CString VeldinCommonID;
    CString AccessKey;
    CString NickName;
    CString SecurityID;
    CString MailAddressSN;
    CString GrantGetMailAddress;
    CString GrantGetPCInfo;
    LONG installationInProgress = 0;
    CString orderedSecurityID;
    CSimpleArray<CString> selectedSerialIDs;
    LONG BasicSerialCount = 0;
};
