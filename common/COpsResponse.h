#pragma once
// The last order-system answer, as stored in the page context. The three deliverables
// share this layout, so fields are only ever appended at the end of a block.
#include <windows.h>
#include "CStringT.h"
#include "CSimpleArray.h"

struct COpsAgreement {
    CString SecurityID;
    CString AgreementID;
    CString SecurityStatus;
    CString DateServiceStart;
};

struct COpsSerialInfo {
    CString SerialID;
    CString NickName;
    int SerialStatus = 0;
    CString ConstructionEndDate;
    CString MailAddressSN;
    BOOL GrantGetMailAddress = FALSE;
    BOOL GrantGetPCInfo = FALSE;
    BOOL GrantExtraFunction = FALSE;
    CString OsVerInfo;
    CString CpuInfo;
    CString MemInfo;
    CString HddInfo;
    CString IeVerInfo;
    CString KavoVerInfo;
    CString StVerInfo;
};

struct COpsCustomerInformation {
    CString VeldinCommonID;
    CString CustomerName;
    CString MailAddressAL;
};

struct COpsResponse {
    // The answer's Date header plus nine hours (Japan time), as a FILETIME-like count.
    ULONGLONG serverTime = 0;
    CString rawText;
    CString BaseDataID;
    CString ResultCode;
    COpsCustomerInformation customerInformation;
    CSimpleArray<COpsAgreement> agreements;
    CSimpleArray<COpsSerialInfo> serials;
};
