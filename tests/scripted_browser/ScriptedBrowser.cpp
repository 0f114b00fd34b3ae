#include "ScriptedBrowser.h"

#include <mshtmhst.h>

#include <cstring>
#include <mutex>

#include "BrowserRegistry.h"
#include "CScriptedBrowser.h"
#include "CScriptedClassFactory.h"
#include "LiveObject.h"
#include "ScriptedIids.h"

namespace scripted {

namespace {

template <typename Result, typename Reader>
Result Read(unsigned long id, Reader reader, Result empty)
{
    std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
    const CScriptedBrowser* browser = BrowserRegistry::Find(id);
    return browser ? reader(*browser) : empty;
}

// The browser, kept alive for one action; null when it is gone.
class Acquired {
public:
    explicit Acquired(unsigned long id)
    {
        std::lock_guard<std::recursive_mutex> hold(BrowserRegistry::Lock());
        m_browser = BrowserRegistry::Find(id);
        if (m_browser)
            m_browser->AddRef();
    }
    ~Acquired()
    {
        if (m_browser)
            m_browser->Release();
    }
    Acquired(const Acquired&) = delete;
    Acquired& operator=(const Acquired&) = delete;

    CScriptedBrowser* operator->() const { return m_browser; }
    explicit operator bool() const { return m_browser != nullptr; }

private:
    CScriptedBrowser* m_browser = nullptr;
};

}  // namespace

Registration::Registration()
{
    DWORD cookie = 0;
    if (SUCCEEDED(::CoRegisterClassObject(kClsidWebBrowser, &CScriptedClassFactory::Instance(),
                                          CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
        m_cookie = cookie;
}

Registration::~Registration()
{
    if (m_cookie)
        ::CoRevokeClassObject(m_cookie);
}

bool Browser::Alive() const
{
    return Read(m_id, [](const CScriptedBrowser&) { return true; }, false);
}

std::string Browser::Html() const
{
    return Read(m_id, [](const CScriptedBrowser& b) { return b.Html(); }, std::string());
}

std::vector<std::string> Browser::WrittenDocuments() const
{
    return Read(m_id, [](const CScriptedBrowser& b) { return b.WrittenDocuments(); }, std::vector<std::string>());
}

std::vector<std::string> Browser::StyleSheets() const
{
    return Read(m_id, [](const CScriptedBrowser& b) { return b.StyleSheets(); }, std::vector<std::string>());
}

std::string Browser::LocationUrl() const
{
    return Read(m_id, [](const CScriptedBrowser& b) { return b.LocationUrl(); }, std::string());
}

std::vector<std::string> Browser::Events() const
{
    return Read(m_id, [](const CScriptedBrowser& b) { return b.Events(); }, std::vector<std::string>());
}

HWND Browser::Window() const
{
    return Read(m_id, [](const CScriptedBrowser& b) { return b.Window(); }, HWND(nullptr));
}

HWND Browser::DocumentWindow() const
{
    return Read(m_id, [](const CScriptedBrowser& b) { return b.DocumentWindow(); }, HWND(nullptr));
}

DWORD Browser::HostFlags() const
{
    return Read(m_id, [](const CScriptedBrowser& b) { return b.HostFlags(); }, DWORD(0));
}

bool Browser::RegisteredAsDropTarget() const
{
    return Read(m_id, [](const CScriptedBrowser& b) { return b.RegisteredAsDropTarget(); }, false);
}

int Browser::WheelMessages() const
{
    return Read(m_id, [](const CScriptedBrowser& b) { return b.WheelMessages(); }, 0);
}

bool Browser::Idle() const
{
    return Read(m_id, [](const CScriptedBrowser& b) { return b.Idle(); }, true);
}

bool Browser::IsChecked(const char* name) const
{
    return name && Read(m_id, [name](const CScriptedBrowser& b) { return b.IsChecked(name); }, false);
}

bool Browser::IsDisabled(const char* name) const
{
    return name && Read(m_id, [name](const CScriptedBrowser& b) { return b.IsDisabled(name); }, false);
}

std::string Browser::Value(const char* name) const
{
    return name ? Read(m_id, [name](const CScriptedBrowser& b) { return b.Value(name); }, std::string()) : std::string();
}

HRESULT Browser::ShowContextMenu()
{
    Acquired browser(m_id);
    if (!browser)
        return E_FAIL;
    IDocHostUIHandler* handler = browser->UiHandler();
    if (!handler)
        return S_FALSE;
    IDispatch* document = browser->DocumentDispatch();
    POINT point = {10, 10};
    const HRESULT hr = handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &point, nullptr, document);
    if (document)
        document->Release();
    handler->Release();
    return hr;
}

HRESULT Browser::TranslateAccelerator(const MSG& message)
{
    Acquired browser(m_id);
    if (!browser)
        return E_FAIL;
    IDocHostUIHandler* handler = browser->UiHandler();
    if (!handler)
        return S_FALSE;
    MSG copy = message;
    const HRESULT hr = handler->TranslateAccelerator(&copy, &kCgidMshtml, 0);
    handler->Release();
    return hr;
}

bool Browser::SetChecked(const char* name, bool checked)
{
    Acquired browser(m_id);
    return browser && name && browser->SetChecked(name, checked);
}

bool Browser::Submit(const char* inputName)
{
    Acquired browser(m_id);
    return browser && inputName && browser->Submit(inputName);
}

bool Browser::Press(const char* name, int index)
{
    Acquired browser(m_id);
    return browser && name && index >= 0 &&
           browser->Press(name, size_t(index), CScriptedBrowser::Navigation::now);
}

bool Browser::PressIn(const char* field, const char* value, const char* name)
{
    Acquired browser(m_id);
    return browser && field && value && name &&
           browser->PressIn(field, value, name, CScriptedBrowser::Navigation::now);
}

bool Browser::Select(const char* name, const char* value)
{
    Acquired browser(m_id);
    return browser && name && value && browser->Select(name, value);
}

bool Browser::Type(const char* name, const char* text)
{
    Acquired browser(m_id);
    return browser && name && text && browser->Type(name, text);
}

bool Browser::ClickLink(const char* href)
{
    Acquired browser(m_id);
    return browser && href && browser->ClickLink(href);
}

std::vector<Browser> Browsers()
{
    std::vector<Browser> browsers;
    for (unsigned long id : BrowserRegistry::Ids())
        browsers.emplace_back(id);
    return browsers;
}

Browser Latest()
{
    const std::vector<unsigned long> ids = BrowserRegistry::Ids();
    return ids.empty() ? Browser() : Browser(ids.back());
}

long LiveObjects()
{
    return LiveObject::Count();
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (done())
            return true;
        MSG message;
        bool any = false;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
            if (done())
                return true;
        }
        if (::GetTickCount() - start >= timeoutMs)
            return done();
        if (!any)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool PumpUntilIdle(DWORD timeoutMs)
{
    return PumpUntil(
        [] {
            for (const Browser& browser : Browsers())
                if (!browser.Idle())
                    return false;
            return true;
        },
        timeoutMs);
}

bool SendCommand(HWND shellEmbedding, const char* command)
{
    if (!shellEmbedding || !command)
        return false;
    COPYDATASTRUCT data = {};
    data.dwData = 0x4B53;
    data.cbData = DWORD(std::strlen(command) + 1);
    data.lpData = const_cast<char*>(command);
    DWORD_PTR result = FALSE;
    if (!::SendMessageTimeoutA(shellEmbedding, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                               30000, &result))
        return false;
    return result == TRUE;
}

}  // namespace scripted
