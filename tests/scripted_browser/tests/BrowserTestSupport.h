#pragma once
// What the scripted browser's own tests share: COM and the double's registration for each
// test, a page object of the product (its real event sink and HTML writing) that records
// the events it is given, and a check that nothing of the double is left alive.
// The product's page headers first: the SDK's control headers define a macro of a name
// that its message maps declare.
#include "CWBDialog.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>

#include <memory>
#include <string>
#include <vector>

#include "CComPtr.h"
#include "ScriptedBrowser.h"

std::string BstrBytes(BSTR text);
std::string VariantBytesOf(VARIANT* value);

// A page that is never shown: the product's sink calls it; it records and may cancel.
class RecordingPage : public CWBDialog {
public:
    RecordingPage() : CWBDialog(100, 200) {}

    void __stdcall BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* targetFrame,
                                   VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel) override;
    void __stdcall DocumentComplete(IDispatch* browser, VARIANT* url) override;
    void __stdcall CommandStateChange(long command, VARIANT_BOOL enable) override;
    void __stdcall NavigateError(IDispatch* browser, VARIANT* url, VARIANT* targetFrame, VARIANT* statusCode,
                                 VARIANT_BOOL* cancel) override;
    void __stdcall NewWindow3(IDispatch** browser, VARIANT_BOOL* cancel, DWORD flags, BSTR urlContext,
                              BSTR url) override;

    bool cancelNavigation = false;
    bool cancelErrors = false;
    // One line per call, "<event> <argument>...", as the page saw the arguments.
    std::vector<std::string> calls;
    std::string lastPostData;
    std::string lastHeaders;
    bool lastHadPostData = false;
    VARTYPE postDataShape = VT_EMPTY;  // the type of the PostData the page was given
    std::vector<IDispatch*> eventBrowsers;  // not held: compared only
};

class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new scripted browser driven by a new page (sink advised, as the page's set-up does).
    void Open();
    // Navigates to about:blank and lets it complete.
    void OpenBlank();
    // Open, in-place active in a new popup parent (what commands to the "Shell Embedding"
    // window need), and about:blank complete. *parent is the parent window, null on failure.
    void OpenInPlace(HWND* parent);
    // The product's way of writing a page: InitNew and Load of the bytes.
    void Write(const std::string& html);
    CComPtr<IHTMLDocument2> Document();

    std::unique_ptr<scripted::Registration> registration;
    std::unique_ptr<RecordingPage> page;
    CComPtr<IWebBrowser2> browser;
    scripted::Browser view;
};
