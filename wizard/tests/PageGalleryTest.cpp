// Every page with a browser, shown with the context of a signed-in customer who has contracts
// and serials in every status: each writes its document, and no customer text reaches a
// document unescaped. With KAVO_PAGE_GALLERY_DIR set, the documents are kept there for the
// page gallery: "<screen id>.html" (the bytes as written), "<screen id>.css" (the sheets the
// page applied) and "index.txt" (screen id, class, browser width and height, one page a line).
#include "PageBench.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "CFeeCalc.h"
#include "CHandle.h"
#include "CTextDef.h"
#include "KavoTestPaths.h"
#include "PageFactory.h"
#include "PageTable.h"

namespace {

using Strings = std::vector<std::string>;

// Pages that write no document of their own: no browser content, or a licence-terms or
// registration page that loads an address instead.
const Strings kPagesWithoutDocument = {
    "CCheckComputerDialog", "CSignupDialog", "COPSProgressDialog", "CInstallDialog", "CPostCancelDialog",
    "CEULADialog", "CExternalEULADialog", "CUpgradeEULADialog", "CRegClientDialog",
};

const char kErrorCode[] = "EWS0001";
const char kFeeTablePath[] = "/gallery/monthly_fee_k.txt";

// Texts that must reach a document only escaped.
const char kCustomerName[] = "山田 & <花子>";
const char kNickName[] = "居間の<PC> & 書斎";
const char kBlocker[] = "Guard <Pro> & Tools";

bool Listed(const Strings& list, const char* name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

// The screen id the gallery names a page by: its start screen with "-" for "_"; the error
// page by its code; a page without one by its class.
std::string ScreenIdOf(const PageRow& row)
{
    std::string id;
    if (row.startIds[0])
        id = row.startIds[0];
    else if (std::strcmp(row.className, "CErrorDialog") == 0)
        id = kErrorCode;
    else if (std::strcmp(row.className, "CExternalEULADialog") == 0)
        id = "B_N08_1";
    else
        id = row.className;
    std::replace(id.begin(), id.end(), '_', '-');
    return id;
}

COpsAgreement Agreement(const char* securityId, const char* agreementId, const char* status)
{
    COpsAgreement agreement;
    agreement.SecurityID = securityId;
    agreement.AgreementID = agreementId;
    agreement.SecurityStatus = status;
    agreement.DateServiceStart = "2026-04-01";
    return agreement;
}

class PageGallery : public PageBench {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3));
        // What the operator's own definition adds, as the bundled operator's run has it.
        CHandle operatorTexts(::CreateFileA(SourcePath("tests/journey/operator-texts.def").c_str(), GENERIC_READ,
                                            FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(operatorTexts);
        ASSERT_TRUE(CTextDef::ParseFile(operatorTexts));
        PageBench::SetUp();
        ASSERT_TRUE(Server().Reset());
        // Whatever a page fetches or navigates to stays on the fake server.
        CTextDef::SetDomainUrl(Server().BaseUrl().c_str());
        ASSERT_TRUE(Server().Route(kFeeTablePath, "1,300\n2,200\n"));
        m_feeTableUrl = Server().Url(kFeeTablePath);
        GetFeeCalc().Clear();
        ASSERT_EQ(GetFeeCalc().StartLoad(m_feeTableUrl.c_str(), FALSE), FEECALC_READY);
    }

    void TearDown() override
    {
        PageBench::TearDown();
        GetFeeCalc().Clear();
        CTextDef::RemoveAll();
        CTextDef::SetDomainUrl("");
    }

    // The context as the sign-in leaves it, filled again before each page (pages clear
    // parts of it when they move on).
    void FillSignedInContext()
    {
        context.ClearFlowData();
        context.errorCode = kErrorCode;

        COpsCustomerData& customer = context.customer;
        customer.VeldinCommonID = "C0001";
        customer.AccessKey = "KEY0001";
        customer.SecurityID = "S0002";
        customer.orderedSecurityID = "S0002";
        customer.SerialID = "SN000101";
        customer.NickName = kNickName;
        customer.MailAddressSN = "hanako@example.jp";
        customer.BasicSerialCount = 1;
        customer.selectedSerialIDs.RemoveAll();
        customer.selectedSerialIDs.Add(CString("SN000102"));
        customer.selectedSerialIDs.Add(CString("SN000103"));

        COpsResponse& response = context.response;
        response.ResultCode = "0000";
        response.customerInformation.VeldinCommonID = "C0001";
        response.customerInformation.CustomerName = kCustomerName;
        response.customerInformation.MailAddressAL = "yamada@example.jp";
        response.agreements.RemoveAll();
        response.agreements.Add(Agreement("S0001", "A0001", "2"));
        response.agreements.Add(Agreement("S0002", "A0002", "1"));
        response.serials.RemoveAll();
        for (int status = 0; status <= 5; ++status) {
            COpsSerialInfo serial;
            char id[16];
            std::snprintf(id, sizeof id, "SN0001%02d", status + 1);
            serial.SerialID = id;
            serial.NickName = status == 2 ? kNickName : (std::string("PC-") + char('A' + status)).c_str();
            serial.SerialStatus = status;
            serial.MailAddressSN = (std::string("pc") + char('0' + status) + "@example.jp").c_str();
            // One serial not yet installed has no end date.
            serial.ConstructionEndDate = status == 1 ? "" : ("2026-04-0" + std::to_string(status + 1) + " 10:20:30").c_str();
            serial.GrantGetMailAddress = TRUE;
            response.serials.Add(serial);
        }

        // The browser warns, the disk is short; the rest is met.
        for (LONG& result : context.requirementResults)
            result = REQ_RESULT_MET;
        context.requirementResults[REQ_IE] = REQ_RESULT_WARNING;
        context.requirementResults[REQ_HDD] = REQ_RESULT_NOT_MET;
        context.diskFigures[0] = 1u << 2;  // drive C
        context.diskFigures[1] = 200;
        context.diskFigures[2] = 500;
        context.conflictLists.displayNames.RemoveAll();
        context.conflictLists.uninstallKeys.RemoveAll();
        context.conflictLists.displayNames.Add(CString(kBlocker));
        context.conflictLists.uninstallKeys.Add(CString("GuardPro"));
        context.conflictLists.displayNames.Add(CString("他社ウイルス対策 2026"));
        context.conflictLists.uninstallKeys.Add(CString("{0A1B2C3D}"));
        context.SetValue("OPS_MOTD", "本日のお知らせ\r\n");
    }

    std::string m_feeTableUrl;
};

struct GalleryPage {
    std::string screenId;
    std::string className;
    std::string document;  // empty: none written
    std::string styleSheets;
    SIZE size;
};

void WriteGallery(const std::string& folder, const std::vector<GalleryPage>& pages)
{
    ::CreateDirectoryA(folder.c_str(), nullptr);
    std::ofstream index(folder + "\\index.txt", std::ios::binary);
    for (const GalleryPage& page : pages) {
        if (page.document.empty())
            continue;
        std::ofstream(folder + "\\" + page.screenId + ".html", std::ios::binary) << page.document;
        std::ofstream(folder + "\\" + page.screenId + ".css", std::ios::binary) << page.styleSheets;
        index << page.screenId << '\t' << page.className << '\t' << page.size.cx << '\t' << page.size.cy << '\n';
    }
    EXPECT_TRUE(index.good()) << folder;
}

TEST_F(PageGallery, EveryPageWritesItsDocumentForASignedInCustomerWithCustomerTextsEscaped)
{
    std::vector<GalleryPage> gallery;
    for (const PageRow& row : AllPages()) {
        SCOPED_TRACE(row.className);
        FillSignedInContext();
        CWBDialog* page = CreatePageWindow(row.make(), frame, &context);
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(Settle());
        // A page that found the context wanting has moved on to another page and is gone.
        if (!::IsWindow(page->m_hWnd)) {
            ADD_FAILURE() << "the page left itself";
            continue;
        }
        if (page->m_browserId == 0xFFFF) {
            EXPECT_TRUE(Listed(kPagesWithoutDocument, row.className)) << "a page without browser";
            ::DestroyWindow(page->m_hWnd);
            continue;
        }
        GalleryPage shown = {ScreenIdOf(row), row.className, "", "", {0, 0}};
        const Strings written = WrittenDocuments(page);
        if (!written.empty())
            shown.document = written.back();
        for (const std::string& sheet : StyleSheets(page))
            shown.styleSheets += sheet + "\r\n";
        RECT rect = {};
        ::GetClientRect(::GetDlgItem(page->m_hWnd, page->m_browserId), &rect);
        shown.size = {rect.right - rect.left, rect.bottom - rect.top};
        ::DestroyWindow(page->m_hWnd);

        if (!Listed(kPagesWithoutDocument, row.className)) {
            ASSERT_FALSE(shown.document.empty()) << "no document written";
            EXPECT_EQ(shown.document.compare(0, std::strlen(kShiftJisMetaLine), kShiftJisMetaLine), 0);
        }
        if (!shown.document.empty()) {
            EXPECT_GT(shown.size.cx, 0);
            EXPECT_GT(shown.size.cy, 0);
            for (const char* text : {"<花子>", "山田 & ", "<PC>", "& 書斎", "<Pro>", "& Tools"})
                EXPECT_EQ(shown.document.find(text), std::string::npos) << "unescaped " << text;
            gallery.push_back(shown);
        }
    }
    if (const char* folder = std::getenv("KAVO_PAGE_GALLERY_DIR"))
        WriteGallery(folder, gallery);
}

}  // namespace
