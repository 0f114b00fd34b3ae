#include "ContractFigures.h"

#include <cstdlib>

#include "CFeeCalc.h"
#include "COpsResponse.h"
#include "CTextDef.h"
#include "Entities.h"

int CountActiveContracts(const COpsResponse& response)
{
    int count = 0;
    for (int i = 0; i < response.agreements.GetSize(); ++i) {
        const int status = std::atoi(response.agreements[i].SecurityStatus);
        if (status >= 1 && status <= 3)
            ++count;
    }
    return count;
}

int CountLiveSerials(const COpsResponse& response)
{
    int count = 0;
    for (int i = 0; i < response.serials.GetSize(); ++i)
        if (response.serials[i].SerialStatus != 5)
            ++count;
    return count;
}

int CountUnstartedSerials(const COpsResponse& response)
{
    int count = 0;
    for (int i = 0; i < response.serials.GetSize(); ++i) {
        const int status = response.serials[i].SerialStatus;
        if (status < 2 || status > 5)
            ++count;
    }
    return count;
}

int GetTaxRate()
{
    return std::atoi(CTextDef::GetText("COMMON_NUM_TAXRATE"));
}

CString FeeText(int amount, bool withTax)
{
    if (amount <= 0)
        return CString("-");
    return FormatAmount(amount, withTax ? GetTaxRate() : 0);
}

CString CountText(int count)
{
    CString text;
    text.Format("%d", count > 0 ? count : 0);
    return text;
}

BOOL ResolveContractEntity(CString& token, const ContractFigures& figures, bool modifyPage)
{
    CFeeCalc& fees = GetFeeCalc();
    const int basicFee = figures.activeContracts > 0 ? fees.GetTotalFee(figures.basicSerials) : 0;
    const int additionalFee = fees.GetTotalFee(figures.liveSerials) - basicFee;
    // The two pages count the additional contracts from opposite ends.
    const int additionalContracts =
        modifyPage ? figures.activeContracts - 1 : figures.liveSerials - figures.basicSerials;
    const int additionalSerialsTotal = modifyPage ? figures.liveSerials - 1 : figures.activeContracts - 1;

    if (token == "&基本契約料金;" || token == "&基本契約料金税込み;")
        token = FeeText(basicFee, token == "&基本契約料金税込み;");
    else if (token == "&追加契約数;")
        token = CountText(additionalContracts);
    else if (token == "&追加契約料金;" || token == "&追加契約料金税込み;")
        token = FeeText(additionalFee, token == "&追加契約料金税込み;");
    else if (token == "&基本契約シリアル数;")
        token = CountText(figures.basicSerials);
    else if (token == "&基本契約シリアル数+1;")
        token = CountText(figures.basicSerials + 1);
    else if (token == "&追加契約シリアル数;")
        token = "1";
    else if (token == "&追加契約総シリアル数;")
        token = CountText(additionalSerialsTotal);
    else
        return FALSE;
    return TRUE;
}
