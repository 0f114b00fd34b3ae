#include <gtest/gtest.h>

#include <string>

#include "FakeServer.h"
#include "HttpReachability.h"
#include "ProbeUrl.h"

namespace {

TEST(ProbeUrlParts, HostPortPathAndSecurityComeFromTheUrl)
{
    struct Case {
        const char* url;
        const char* host;
        unsigned short port;
        const char* path;
        bool secure;
    } cases[] = {
        {"http://content.example/contents/a.html", "content.example", 80, "/contents/a.html", false},
        {"http://127.0.0.1:8080/path", "127.0.0.1", 8080, "/path", false},
        {"http://127.0.0.1:8080", "127.0.0.1", 8080, "", false},
        {"http://host.example", "host.example", 80, "", false},
        {"https://secure.example/x", "secure.example", 443, "/x", true},
        {"https://secure.example:8443/x", "secure.example", 8443, "/x", true},
        // "https://" anywhere in the URL asks for a secure request.
        {"http://relay.example/?next=https://other.example/", "relay.example", 443, "/?next=https://other.example/",
         true},
        {"host.example/no/scheme", "host.example", 80, "/no/scheme", false},
        {"http://[::1]:8081/v6", "::1", 8081, "/v6", false},
        {"http://[::1]/v6", "::1", 80, "/v6", false},
    };
    for (const Case& c : cases) {
        ProbeUrl parts;
        ASSERT_TRUE(ParseProbeUrl(c.url, parts)) << c.url;
        EXPECT_STREQ(parts.host, c.host) << c.url;
        EXPECT_EQ(parts.port, c.port) << c.url;
        EXPECT_STREQ(parts.path, c.path) << c.url;
        EXPECT_EQ(parts.secure, c.secure) << c.url;
    }
}

TEST(ProbeUrlParts, UnusableUrlsAreRefused)
{
    for (const char* url : {"", "http://", "http:///path", "http://host:/x", "http://host:abc/x", "http://host:0/",
                            "http://host:65536/", "http://[::1/x", "http://[::1]x/"}) {
        ProbeUrl parts;
        EXPECT_FALSE(ParseProbeUrl(url, parts)) << url;
    }
    ProbeUrl parts;
    EXPECT_FALSE(ParseProbeUrl(nullptr, parts));
}

TEST(ProbeUrlParts, RestAfterTheSchemeIsCutAt255Characters)
{
    const std::string url = "http://h.example/" + std::string(400, 'p');
    ProbeUrl parts;
    ASSERT_TRUE(ParseProbeUrl(url.c_str(), parts));
    EXPECT_EQ(parts.path.GetLength(), 255 - int(std::string("h.example").size()));
}

class HttpReachability : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = FakeServer::Shared();
        ASSERT_NE(server, nullptr);
        ASSERT_TRUE(server->Reset());
    }
    FakeServer* server = nullptr;
};

TEST_F(HttpReachability, OnlyA2xxAnswerCountsAsReachable)
{
    const struct {
        int status;
        bool reachable;
    } cases[] = {{200, true}, {204, true}, {301, false}, {404, false}, {500, false}};
    for (const auto& c : cases) {
        const std::string path = "/probe/status-" + std::to_string(c.status);
        ASSERT_TRUE(server->Route(path, c.status == 204 ? "" : "page", c.status));
        // The server's own port: a URL whose port were ignored would go to port 80.
        EXPECT_EQ(CheckHttpReachable(server->Url(path).c_str()), c.reachable) << c.status;
        EXPECT_EQ(server->Hits(path), 1) << c.status;
    }
}

TEST_F(HttpReachability, RequestCarriesThePathAndTheUserAgent)
{
    ASSERT_TRUE(server->Route("/contents/security/kavo/ipv6/connect_k.html", "ok"));
    ASSERT_TRUE(CheckHttpReachable(server->Url("/contents/security/kavo/ipv6/connect_k.html").c_str()));
    EXPECT_EQ(server->Last("/contents/security/kavo/ipv6/connect_k.html", "method"), "GET");
    EXPECT_EQ(server->Last("/contents/security/kavo/ipv6/connect_k.html", "header:User-Agent"), "lslead");
}

TEST_F(HttpReachability, UrlWithoutPathAsksForTheRoot)
{
    ASSERT_TRUE(server->Route("/", "root"));
    EXPECT_TRUE(CheckHttpReachable(server->BaseUrl().c_str()));
    EXPECT_EQ(server->Hits("/"), 1);
}

TEST_F(HttpReachability, SecureUrlIsFetchedOverTls)
{
    ASSERT_TRUE(server->Route("/probe/secure", "ok"));
    EXPECT_TRUE(CheckHttpReachable(server->TlsUrl("/probe/secure").c_str()));
    EXPECT_EQ(server->Hits("/probe/secure"), 1);
}

TEST_F(HttpReachability, NothingToReachIsUnreachable)
{
    EXPECT_FALSE(CheckHttpReachable(""));
    EXPECT_FALSE(CheckHttpReachable(nullptr));
    const std::string closed = "http://127.0.0.1:" + std::to_string(server->ClosedPort()) + "/x";
    EXPECT_FALSE(CheckHttpReachable(closed.c_str()));
    ASSERT_TRUE(server->Fail("/probe/dropped", "close"));
    ASSERT_TRUE(server->Fail("/probe/dropped", "close"));
    EXPECT_FALSE(CheckHttpReachable(server->Url("/probe/dropped").c_str()));
}

}  // namespace
