#pragma once
// The bench for the pages' HTML and control texts: the built-in definition, an empty fee
// table, and helpers that fill the order-system answer and read back what a page shows.
#include "PageBench.h"

#include <string>
#include <typeinfo>
#include <vector>

#include "CFeeCalc.h"
#include "CTextDef.h"
#include "KavoMessages.h"
#include "PageFactory.h"

class PageContentBench : public PageBench {
protected:
    void SetUp() override
    {
        LoadBuiltInText();
        CTextDef::SetDomainUrl("http://127.0.0.1:9");
        GetFeeCalc().Clear();
        PageBench::SetUp();
    }

    void TearDown() override
    {
        PageBench::TearDown();
        WaitWhileFeeTableLoads();
        GetFeeCalc().Clear();
        LoadBuiltInText();
        CTextDef::SetDomainUrl("");
    }

    // The texts a test set are gone before the next one starts.
    static void LoadBuiltInText()
    {
        CTextDef::RemoveAll();
        ASSERT_TRUE(CTextDef::LoadFromResource(::GetModuleHandleA(nullptr), 3));
    }

    // A load that a page started runs on its own thread, which clearing the table under it
    // would race.
    static void WaitWhileFeeTableLoads()
    {
        for (int i = 0; i < 300 && GetFeeCalc().GetReadyState(nullptr) == FEECALC_LOADING; ++i)
            ::Sleep(50);
    }

    // The definition's domain and order system on the fake server.
    static void PointAtFakeServer()
    {
        CTextDef::SetDomainUrl(Server().BaseUrl().c_str());
        CTextDef::SetText("COMMON_URI_OPS", Server().Url(FakeServer::OrdersPath()).c_str());
    }

    // Creates the page's window on the frame and lets its browser write its first document.
    template <typename Page>
    Page* Open(Page* page)
    {
        Page* opened = static_cast<Page*>(CreatePageWindow(page, frame, &context));
        EXPECT_NE(opened, nullptr);
        EXPECT_TRUE(Settle());
        return opened;
    }

    // Settles the browsers, then runs what pages posted themselves once they were idle.
    static bool SettleWithPosted()
    {
        for (int round = 0; round < 10; ++round) {
            if (!Settle())
                return false;
            MSG message;
            bool any = false;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                any = true;
                ::TranslateMessage(&message);
                ::DispatchMessageA(&message);
            }
            if (!any)
                return true;
        }
        return Settle();
    }

    // The fee table with rows 1,300 and 3,200: the first two licences cost 300 each, every
    // later one 200.
    static void MakeFeesReady()
    {
        static std::string url;
        ASSERT_TRUE(Server().Route("/content/feetable.txt", "1,300\n3,200\n"));
        url = Server().Url("/content/feetable.txt");
        ASSERT_EQ(GetFeeCalc().StartLoad(url.c_str(), FALSE), FEECALC_READY);
    }

    void AddAgreement(const char* securityId, const char* agreementId, const char* status)
    {
        COpsAgreement agreement;
        agreement.SecurityID = securityId;
        agreement.AgreementID = agreementId;
        agreement.SecurityStatus = status;
        context.response.agreements.Add(agreement);
    }

    void AddSerial(const char* serialId, int status, const char* nickName = "", const char* date = "",
                   const char* mail = "")
    {
        COpsSerialInfo serial;
        serial.SerialID = serialId;
        serial.SerialStatus = status;
        serial.NickName = nickName;
        serial.ConstructionEndDate = date;
        serial.MailAddressSN = mail;
        context.response.serials.Add(serial);
    }

    // The page's last document without the Shift_JIS line it must start with.
    static std::string Html(const CWBDialog* page)
    {
        const std::vector<std::string> documents = WrittenDocuments(page);
        if (documents.empty())
            return "(nothing written)";
        const std::string& last = documents.back();
        const std::string meta = kShiftJisMetaLine;
        if (last.compare(0, meta.size(), meta) != 0)
            return "(no Shift_JIS line) " + last;
        return last.substr(meta.size());
    }

    static std::string ItemText(const CWBDialog* page, int id)
    {
        char text[1024] = {};
        ::GetDlgItemTextA(page->m_hWnd, id, text, sizeof text);
        return text;
    }

    static bool ItemShown(const CWBDialog* page, int id)
    {
        return (::GetWindowLongA(::GetDlgItem(page->m_hWnd, id), GWL_STYLE) & WS_VISIBLE) != 0;
    }

    static bool ItemEnabled(const CWBDialog* page, int id)
    {
        return ::IsWindowEnabled(::GetDlgItem(page->m_hWnd, id)) != FALSE;
    }

    // The control's place in the page's client coordinates.
    static RECT ItemRect(const CWBDialog* page, int id)
    {
        RECT rect = {};
        ::GetWindowRect(::GetDlgItem(page->m_hWnd, id), &rect);
        ::MapWindowPoints(nullptr, page->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // Every "&name;" left in html other than the character references that escaping makes:
    // a name that the page does not resolve.
    static std::vector<std::string> UnresolvedNames(const std::string& html)
    {
        static const char* const kCharacterReferences[] = {"&nbsp;", "&amp;", "&lt;", "&gt;", "&quot;"};
        std::vector<std::string> names;
        for (size_t amp = html.find('&'); amp != std::string::npos; amp = html.find('&', amp + 1)) {
            const size_t end = html.find_first_of("; \t\r\n<>\"&", amp + 1);
            if (end == std::string::npos || html[end] != ';')
                continue;
            const std::string name = html.substr(amp, end - amp + 1);
            bool reference = false;
            for (const char* known : kCharacterReferences)
                reference = reference || name == known;
            if (!reference)
                names.push_back(name);
        }
        return names;
    }
};

// The bench for what pages do: their buttons, the hand-overs they post to the frame and the
// pings they send, with the definition's addresses and the order system on a fresh fake
// server and the pages' own buttons, not the automatic flow, leading on.
class PageActionBench : public PageContentBench {
protected:
    void SetUp() override
    {
        PageContentBench::SetUp();
        ASSERT_TRUE(Server().Reset());
        PointAtFakeServer();
        context.autoFlow = 0;
    }

    static void Click(const CWBDialog* page, int id)
    {
        ::SendMessageA(page->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(::GetDlgItem(page->m_hWnd, id)));
    }

    // The page that a hand-over told the frame to show (null: none, the wizard ends); false
    // when the frame was told nothing.
    bool TakePageSentToFrame(CWBDialog** page)
    {
        MSG message;
        if (!::PeekMessageA(&message, frame, WM_KAVO_PAGE, WM_KAVO_PAGE, PM_REMOVE))
            return false;
        EXPECT_EQ(message.wParam, WPARAM(PAGECMD_SETPAGE));
        *page = reinterpret_cast<CWBDialog*>(message.lParam);
        return true;
    }

    static std::string ClassOf(const CWBDialog* page) { return page ? typeid(*page).name() : "no page"; }

    // The fire-and-forget ping has no end to wait for: the server's count is watched instead.
    static int HitsAfterWaiting(const char* path, int expected)
    {
        int hits = 0;
        for (int i = 0; i < 100 && (hits = Server().Hits(path)) < expected; ++i)
            ::Sleep(50);
        return hits;
    }
};
