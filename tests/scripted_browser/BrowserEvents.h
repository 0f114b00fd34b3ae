#pragma once
// The DWebBrowserEvents2 calls as a real browser makes them: arguments last first in
// rgvarg, strings and in/out values by reference where the event's signature has them.
#include <windows.h>
#include <oaidl.h>

#include <string>

namespace scripted {

class CScriptedConnectionPoint;

struct NavigationRequest {
    std::string url;
    long flags = 0;
    std::string target;
    bool hasPostData = false;
    std::string postData;  // bytes
    std::string headers;
    bool reload = false;  // Refresh: the same address again, no new travel step
};

class BrowserEvents {
public:
    BrowserEvents(CScriptedConnectionPoint& point, IDispatch* browser) : m_point(point), m_browser(browser) {}
    BrowserEvents(const BrowserEvents&) = delete;
    BrowserEvents& operator=(const BrowserEvents&) = delete;

    // Each returns true when a sink cancelled.
    bool BeforeNavigate2(const NavigationRequest& request);
    bool NavigateError(const std::string& url, const std::string& target, long status);
    bool NewWindow3(const std::string& url, const std::string& context, long flags);
    void NavigateComplete2(const std::string& url);
    void DocumentComplete(const std::string& url);
    void CommandStateChange(long command, bool enable);

private:
    // The events whose arguments are the browser and its address.
    void FireWithUrl(DISPID id, const std::string& url);

    CScriptedConnectionPoint& m_point;
    IDispatch* m_browser;
};

}  // namespace scripted
