#include "BrowserTestSupport.h"

#include <ole2.h>

#include <cstdio>

std::string BstrBytes(BSTR text)
{
    if (!text)
        return {};
    const int length = int(SysStringLen(text));
    const int size = WideCharToMultiByte(932, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(932, 0, text, length, &bytes[0], size, nullptr, nullptr);
    return bytes;
}

std::string VariantBytesOf(VARIANT* value)
{
    if (!value)
        return "<null>";
    if (value->vt == VT_BSTR)
        return BstrBytes(value->bstrVal);
    if (value->vt == VT_I4)
        return std::to_string(value->lVal);
    return "<vt " + std::to_string(value->vt) + ">";
}

void __stdcall RecordingPage::BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT*,
                                              VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel)
{
    eventBrowsers.push_back(browser);
    calls.push_back("BeforeNavigate2 " + VariantBytesOf(url) + " " + VariantBytesOf(flags));
    // A handler's PostData is a by-reference variant that holds the byte array.
    postDataShape = postData ? postData->vt : VARTYPE(VT_ILLEGAL);
    VARIANT* bytes = postData && postData->vt == (VT_BYREF | VT_VARIANT) ? postData->pvarVal : nullptr;
    lastHadPostData = bytes && bytes->vt == (VT_ARRAY | VT_UI1);
    lastPostData.clear();
    if (lastHadPostData) {
        void* data = nullptr;
        SafeArrayAccessData(bytes->parray, &data);
        lastPostData.assign(static_cast<const char*>(data), bytes->parray->rgsabound[0].cElements);
        SafeArrayUnaccessData(bytes->parray);
    }
    lastHeaders = VariantBytesOf(headers);
    if (cancel && cancelNavigation)
        *cancel = VARIANT_TRUE;
}

void __stdcall RecordingPage::DocumentComplete(IDispatch* browser, VARIANT* url)
{
    eventBrowsers.push_back(browser);
    calls.push_back("DocumentComplete " + VariantBytesOf(url));
}

void __stdcall RecordingPage::CommandStateChange(long command, VARIANT_BOOL enable)
{
    calls.push_back("CommandStateChange " + std::to_string(command) + " " + std::to_string(enable));
}

void __stdcall RecordingPage::NavigateError(IDispatch* browser, VARIANT* url, VARIANT*, VARIANT* statusCode,
                                            VARIANT_BOOL* cancel)
{
    eventBrowsers.push_back(browser);
    const long code = statusCode && statusCode->vt == VT_I4 ? statusCode->lVal : 0;
    char status[16];
    std::snprintf(status, sizeof status, code < 0 ? "%lX" : "%ld", code);
    calls.push_back("NavigateError " + VariantBytesOf(url) + " " + status);
    if (cancel && cancelErrors)
        *cancel = VARIANT_TRUE;
}

void __stdcall RecordingPage::NewWindow3(IDispatch**, VARIANT_BOOL* cancel, DWORD flags, BSTR urlContext, BSTR url)
{
    calls.push_back("NewWindow3 " + BstrBytes(url) + " from " + BstrBytes(urlContext) + " flags " +
                    std::to_string(flags));
    if (cancel)
        *cancel = VARIANT_TRUE;
}

void BrowserTest::SetUp()
{
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    registration = std::make_unique<scripted::Registration>();
    ASSERT_TRUE(registration->ok());
}

void BrowserTest::TearDown()
{
    page.reset();
    browser.Release();
    scripted::PumpUntilIdle(2000);
    // Every browser, document, element, collection and sheet was let go with its last reference.
    EXPECT_EQ(scripted::LiveObjects(), 0);
    EXPECT_TRUE(scripted::Browsers().empty());
    registration.reset();
    OleUninitialize();
}

void BrowserTest::Open()
{
    CLSID clsid;
    ASSERT_EQ(CLSIDFromString(L"{8856F961-340A-11D0-A96B-00C04FD705A2}", &clsid), S_OK);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IWebBrowser2,
                               reinterpret_cast<void**>(&browser)),
              S_OK);
    page = std::make_unique<RecordingPage>();
    page->m_browser = browser;
    ASSERT_EQ(page->m_sink.Advise(browser), S_OK);
    view = scripted::Latest();
    ASSERT_TRUE(view.Alive());
}

void BrowserTest::OpenBlank()
{
    Open();
    ASSERT_EQ(NavigateToBlank(browser), S_OK);
    ASSERT_TRUE(scripted::PumpUntilIdle(5000));
    page->calls.clear();
}

void BrowserTest::OpenInPlace(HWND* parent)
{
    *parent = nullptr;
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    Open();
    CComPtr<IOleObject> object;
    ASSERT_EQ(browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
    RECT area = {0, 0, 200, 100};
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, window, &area), S_OK);
    NavigateToBlank(browser);
    ASSERT_TRUE(scripted::PumpUntilIdle(5000));
    *parent = window;
}

void BrowserTest::Write(const std::string& html)
{
    page->WriteHtml(0, html.c_str());
}

CComPtr<IHTMLDocument2> BrowserTest::Document()
{
    CComPtr<IHTMLDocument2> document;
    GetHtmlDocument(browser, &document);
    return document;
}
