#pragma once
// The page test bench: real pages in a plain host frame, on the scripted browser.
//
// Each test of a PageBench fixture gets OLE initialised for its thread (CScopedOleInit), the
// scripted browser as CLSID_WebBrowser of the process (scripted::Registration), a frame
// window, a page context that starts with every step still to come, and a recorder in
// place of the default browser (nothing is ever opened). TearDown destroys the frame with
// every page in it, lets the browsers finish, and undoes the rest, also after a failed
// assertion. The shared fake server (FakeServer::Shared) serves what pages fetch.
// The product's page headers first: the SDK's control headers define a macro of a name
// that its message maps declare.
#include "CWBDialog.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "CPageContext.h"
#include "CScopedComInit.h"
#include "FakeServer.h"
#include "ScriptedBrowser.h"

// Keys held down in the thread's keyboard state (what GetKeyState reads) while it lives.
class HeldKeys {
public:
    explicit HeldKeys(const std::vector<BYTE>& keys);
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE m_saved[256];
};

// A keyboard message as the message loop would hold it, for window.
MSG KeyMessage(HWND window, UINT message, WPARAM key);

// A real page class that writes html as its first document, as pages will once they build
// their HTML. onLoad runs after each write, inside LoadBrowserContent.
template <typename Page>
class PageWithHtml : public Page {
public:
    explicit PageWithHtml(std::string html) : m_html(std::move(html)) {}

    void LoadBrowserContent(WORD controlId) override
    {
        loads.push_back(controlId);
        this->WriteHtmlWithCharset(controlId, m_html.c_str());
        if (onLoad)
            onLoad(*this);
    }

    std::vector<WORD> loads;
    void (*onLoad)(PageWithHtml& page) = nullptr;

private:
    std::string m_html;
};

class PageBench : public ::testing::Test {
public:
    static constexpr const char* kStartPhase = "lpcsairfdt";

    // The addresses pages gave the default browser, in order, since the test began.
    static const std::vector<std::string>& OpenedInDefaultBrowser();

protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The scripted browser inside page's window (an empty view when it has none).
    static scripted::Browser BrowserOf(const CWBDialog* page);
    // Lets the browsers finish what they have started (documents, events); false on timeout.
    static bool Settle(DWORD timeoutMs = 10000);
    // What the page's browser was given to load, in order, and the current document's style
    // sheets, in order.
    static std::vector<std::string> WrittenDocuments(const CWBDialog* page);
    static std::vector<std::string> StyleSheets(const CWBDialog* page);
    // Navigates the page's browser as a click in it would, and lets it finish.
    static bool Navigate(const CWBDialog* page, const std::string& url);
    // The page child that holds window, as the frame climbs to it before it forwards a key.
    static HWND PageChildOf(HWND page, HWND window);
    // The process's fake server; the test fails when it cannot be started.
    static FakeServer& Server();

    std::unique_ptr<CScopedOleInit> ole;
    std::unique_ptr<scripted::Registration> registration;
    HWND frame = nullptr;
    CPageContext context;

private:
    DefaultBrowserOpener m_formerOpener = nullptr;
};
