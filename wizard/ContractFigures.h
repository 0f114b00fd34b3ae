#pragma once
// The counts and fee texts of the contract pages, read from the last order-system answer
// and the process's fee table.
#include <windows.h>

#include "CStringT.h"

struct COpsResponse;

// Agreements whose SecurityStatus reads as 1, 2 or 3.
int CountActiveContracts(const COpsResponse& response);
// Serials that are not unusable (status 5).
int CountLiveSerials(const COpsResponse& response);
// Serials that nobody has started to install yet (a status other than 2 to 5).
int CountUnstartedSerials(const COpsResponse& response);

// COMMON_NUM_TAXRATE, in hundredths of a percent; 0 when the key is missing or empty.
int GetTaxRate();
// The amount text of a fee, with the tax rate's tax when withTax; "-" for no fee (0 or less).
CString FeeText(int amount, bool withTax);
// "%d" of a count of contracts or serials; a shortfall shows as 0.
CString CountText(int count);

struct ContractFigures {
    int activeContracts;
    int liveSerials;
    int basicSerials;  // the customer's BasicSerialCount
};

// The contract and fee names that the status page (modifyPage false) and the cancellation
// choice page (modifyPage true) share. FALSE leaves token as it was.
BOOL ResolveContractEntity(CString& token, const ContractFigures& figures, bool modifyPage);
