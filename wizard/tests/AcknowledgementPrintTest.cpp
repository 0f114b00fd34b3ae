// What the order-done page's print button prints: the print script completed with the
// order's serials, date, agreement and fee.
#include <gtest/gtest.h>

#include <string>

#include "PageContentBench.h"
#include "pages/CPostSignupDialog.h"

namespace {

class AcknowledgementPrint : public PageContentBench {
protected:
    void SetUp() override
    {
        PageContentBench::SetUp();
        CTextDef::SetText("COMMON_NUM_TAXRATE", "1000");
        CTextDef::SetText("ORDER_ACKNOWLEDGMENT_PRINT_SCRIPT",
                          "%{CustomerID}|%{CustomerName}|%{AccessKey}|%{Date}|%{NimbralID}|%{SerialID}|%{Price}");
        context.response.customerInformation.VeldinCommonID = "VC0001";
        context.response.customerInformation.CustomerName = "山田";
        context.customer.AccessKey = "KEY9";
        context.customer.orderedSecurityID = "SEC2";
        AddAgreement("SEC1", "0", "1");
        AddAgreement("SEC2", "1", "2");
        AddAgreement("SEC3", "2", "4");
    }
};

TEST_F(AcknowledgementPrint, ScriptCarriesTheOrderedAgreementSerialsDateAndFee)
{
    struct Case {
        std::vector<const char*> selected;
        bool feesReady;
        const char* expected;
    };
    // Two active contracts: the second licence costs 300, 330 with 10 % tax.
    const Case cases[] = {
        {{"S1", "S2"}, true, "VC0001|山田|KEY9|2024年05月06日|SEC2|S1\\nS2|300円(税込330円)"},
        {{"S2"}, true, "VC0001|山田|KEY9||SEC2|S2|300円(税込330円)"},
        {{}, true, "VC0001|山田|KEY9||SEC2||300円(税込330円)"},
        {{"S1"}, false, "VC0001|山田|KEY9|2024年05月06日|SEC2|S1|0円(税込0円)"},
    };
    AddSerial("S1", 1, "", "2024-05-06 10:00:00");
    for (const Case& c : cases) {
        GetFeeCalc().Clear();
        if (c.feesReady)
            MakeFeesReady();
        context.customer.selectedSerialIDs.RemoveAll();
        for (const char* id : c.selected)
            context.customer.selectedSerialIDs.Add(CString(id));
        CPostSignupDialog* page = Open(new CPostSignupDialog);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(std::string(page->BuildAcknowledgmentScript()), c.expected);
        ::DestroyWindow(page->m_hWnd);
    }
}

}  // namespace
