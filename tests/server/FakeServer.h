#pragma once
// The tests' handle on the local content server (fake_server.py beside this file): starts it,
// steers it through its /_control/ endpoints and reads its request log.
//
// Each test process starts a server of its own. The test programs are Windows programs
// under Wine, and Wine's CreateProcess runs a Linux executable when given one (python3 by
// its Z: path), so the program starts it directly. A server per process keeps the parallel
// ctest runs (-j 8) apart: no test sees another one's faults, routes, hits or log, and a test
// program also works when started by hand, outside ctest. A ctest fixture that starts one
// shared server was the other choice; it would need every test to stay off every other
// test's paths and would leave reset unusable. The server writes its port into a file that
// the test names; the test then holds a connection to /_control/lifeline open, so the server
// ends with the test process even when that process crashes.
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

class FakeServer {
public:
    FakeServer() = default;
    ~FakeServer();
    FakeServer(const FakeServer&) = delete;
    FakeServer& operator=(const FakeServer&) = delete;

    // The process's one server, started on first use with the source tree's fixture folder
    // (tests/server/fixtures) and the TLS listeners, after the test root is trusted. Null
    // when it could not be started.
    static FakeServer* Shared();

    // fixtureDirs are Linux paths (see UnixPath); tls adds the two TLS listeners. False when python3 or the server cannot be started within 30 s.
    bool Start(const std::vector<std::string>& fixtureDirs, bool tls);
    void Stop();

    int Port() const { return m_port; }
    int TlsPort() const { return m_tlsPort; }
    // "http://127.0.0.1:<port>": what "@BASE@" becomes in served text files.
    std::string BaseUrl() const;
    std::string Url(const std::string& path) const { return BaseUrl() + path; }
    // The TLS listener whose certificate (test-cert.pem, for 127.0.0.1) chains to the test root.
    std::string TlsUrl(const std::string& path) const;
    // The TLS listener with a self-signed certificate (untrusted-cert.pem): always refused.
    int UntrustedTlsPort() const { return m_untrustedTlsPort; }
    std::string UntrustedTlsUrl(const std::string& path) const;
    // Adds the test root (test-root.pem) to the machine's trusted roots in this prefix.
    static bool TrustTestRoot();

    // The path's next `times` requests (0: all) fail: "404", "500" or any status; "refuse" or
    // "close" (closed without an answer), "reset" (RST); or the body is shaped: "slow",
    // "no-length", "nul", "short", "chunked". options is more JSON members, e.g. "\"delay\": 0.2".
    bool Fail(const std::string& path, const std::string& mode, int times = 1, const std::string& options = "");
    // Serves body (raw bytes) at path with the status, headers (a JSON object text) and a
    // delay in seconds before the answer; times 0 keeps the route.
    bool Route(const std::string& path, const std::string& body, int status = 200,
               const std::string& headersJson = "{}", double delay = 0, int times = 0);
    // Serves body filled up with fill bytes to exactly size bytes.
    bool RoutePadded(const std::string& path, const std::string& body, size_t size, char fill);
    // Forgets faults, routes, hits and the log; fixture folders stay.
    bool Reset();
    // Serves this folder too, before the others.
    bool AddFixtures(const std::string& unixFolder);

    int Hits(const std::string& path);
    // One part of the last request to path: "body", "query", "method" or "header:Name".
    // Empty when there was none.
    std::string Last(const std::string& path, const std::string& part = "body");
    // The request log as JSON, all of it or of one path.
    std::string Log(const std::string& path = "");
    // A loopback port that nobody listens on.
    int ClosedPort();

    // The fake order system (handlers/order_system.py): its endpoint's path.
    static const char* OrdersPath() { return "/wso/direct.jsp"; }
    // Sets members of its state model, e.g. "\"polls_until_done\": 3" or "\"serials\": [...]".
    bool OrdersModel(const std::string& membersJson);
    // Queues one scripted answer for a request ID ("*": any). members: "status", "delay", "date"
    // (a header text, or "none" for no Date header), "body" or "body_hex" (instead of the
    // model's answer), "result" (the model's answer with that ResultCode), "mode" ("refuse",
    // "reset"), "nul" (a NUL byte inserted at "at"), "encoding" (declared in the XML head
    // instead of the default "Shift_JIS"; "" for none, "UTF-8" also re-encodes the bytes),
    // "pad_to" (the answer made exactly that long), "times" (the same answer
    // that often; WinINet sends a request again once when the connection drops unanswered).
    bool OrdersScript(const std::string& id, const std::string& members = "");
    // The request IDs it received, in order, comma-separated.
    std::string OrdersIds();
    // The decoded value (CP932 bytes) of a field of request n (-1: the last); "" when absent.
    std::string OrdersField(const std::string& name, int n = -1);
    // The field names of request n in their order, comma-separated.
    std::string OrdersFieldNames(int n = -1);

    // Any control request; answer holds the body. False on transport failure or status >= 400.
    bool Control(const char* verb, const std::string& pathAndQuery, const std::string& body, std::string* answer);

    // The Linux path of a Windows path (Wine's own mapping), or "" when there is none.
    static std::string UnixPath(const std::string& windowsPath);
    // A file of the source tree, as a Linux path.
    static std::string SourceUnixPath(const std::string& relative);
    // Bytes as a JSON string literal, quotes included, each byte one character (\u00XX).
    static std::string JsonBytes(const std::string& bytes);
    // Percent-encodes a query value.
    static std::string QueryValue(const std::string& text);

private:
    int m_port = 0;
    int m_tlsPort = 0;
    int m_untrustedTlsPort = 0;
    SOCKET m_lifeline = INVALID_SOCKET;
};
