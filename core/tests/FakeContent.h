#pragma once
// Stands in for the content server while it lives: URLs it serves answer with their body,
// every other URL fails as an unreachable server would. Records each URL asked for.
#include <map>
#include <string>
#include <vector>

#include "CStringT.h"
#include "UrlText.h"

class FakeContent {
public:
    FakeContent() : m_previous(SetUrlTextFetcher(&Fetch)) { s_current = this; }
    ~FakeContent()
    {
        SetUrlTextFetcher(m_previous);
        s_current = nullptr;
    }
    FakeContent(const FakeContent&) = delete;
    FakeContent& operator=(const FakeContent&) = delete;

    void Serve(const std::string& url, const std::string& body) { m_bodies[url] = body; }
    void Withdraw(const std::string& url) { m_bodies.erase(url); }
    const std::vector<std::string>& Requests() const { return m_requests; }
    void ClearRequests() { m_requests.clear(); }

private:
    static bool Fetch(const char* url, CString& body)
    {
        FakeContent& self = *s_current;
        self.m_requests.push_back(url ? url : "");
        const auto found = self.m_bodies.find(url ? url : "");
        if (found == self.m_bodies.end())
            return false;
        body = found->second.c_str();
        return true;
    }

    static inline FakeContent* s_current = nullptr;
    UrlTextFetcher m_previous;
    std::map<std::string, std::string> m_bodies;
    std::vector<std::string> m_requests;
};
