#include "FakeServer.h"

#include <wincrypt.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

class CInternetHandle {
public:
    explicit CInternetHandle(HINTERNET handle) : m_handle(handle) {}
    ~CInternetHandle()
    {
        if (m_handle)
            InternetCloseHandle(m_handle);
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    operator HINTERNET() const { return m_handle; }

private:
    HINTERNET m_handle;
};

std::string ReadFileText(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[256];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

std::string Python()
{
    const char* configured = std::getenv("KAVO_PYTHON");
    return configured && *configured ? configured : "/usr/bin/python3";
}

// Wine runs a Linux program named by its Windows path; arguments reach it as written.
std::string WindowsPathOfUnix(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

}  // namespace

FakeServer::~FakeServer()
{
    Stop();
}

FakeServer* FakeServer::Shared()
{
    static std::unique_ptr<FakeServer> shared;
    static bool tried = false;
    if (!tried) {
        tried = true;
        auto server = std::make_unique<FakeServer>();
        // Trusted first: a client must not remember a refusal of the listener it reaches.
        if (TrustTestRoot() && server->Start({SourceUnixPath("tests/server/fixtures")}, true))
            shared = std::move(server);
    }
    return shared.get();
}

bool FakeServer::Start(const std::vector<std::string>& fixtureDirs, bool tls)
{
    Stop();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char portFile[MAX_PATH];
    std::snprintf(portFile, sizeof portFile, "%skavo-fake-server-%lu-%lu.port", temp, GetCurrentProcessId(), GetTickCount());
    DeleteFileA(portFile);
    const std::string portFileUnix = UnixPath(portFile);
    if (portFileUnix.empty())
        return false;

    std::string command = "\"" + WindowsPathOfUnix(Python()) + "\" \"" + SourceUnixPath("tests/server/fake_server.py") + "\"";
    for (const std::string& folder : fixtureDirs)
        command += " --fixtures \"" + folder + "\"";
    command += " --port-file \"" + portFileUnix + "\"";
    if (tls)
        command += " --tls";

    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    std::string line = command;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // A Linux program has no Windows process object to wait on: the port file is the signal.
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);

    std::string ports;
    for (int i = 0; i < 300 && ports.empty(); ++i) {
        ports = ReadFileText(portFile);
        if (ports.empty())
            Sleep(100);
    }
    DeleteFileA(portFile);
    if (std::sscanf(ports.c_str(), "%d %d %d", &m_port, &m_tlsPort, &m_untrustedTlsPort) < 1 || m_port <= 0) {
        m_port = m_tlsPort = m_untrustedTlsPort = 0;
        return false;
    }

    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    m_lifeline = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(u_short(m_port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    static const char kLifeline[] = "GET /_control/lifeline HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    char answer[64];
    if (m_lifeline == INVALID_SOCKET || connect(m_lifeline, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        send(m_lifeline, kLifeline, int(sizeof kLifeline - 1), 0) <= 0 || recv(m_lifeline, answer, sizeof answer, 0) <= 0) {
        Stop();
        return false;
    }
    return true;
}

void FakeServer::Stop()
{
    if (m_port)
        Control("POST", "/_control/shutdown", "", nullptr);
    if (m_lifeline != INVALID_SOCKET) {
        closesocket(m_lifeline);
        m_lifeline = INVALID_SOCKET;
        WSACleanup();
    }
    m_port = m_tlsPort = m_untrustedTlsPort = 0;
}

std::string FakeServer::BaseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(m_port);
}

std::string FakeServer::TlsUrl(const std::string& path) const
{
    return "https://127.0.0.1:" + std::to_string(m_tlsPort) + path;
}

std::string FakeServer::UntrustedTlsUrl(const std::string& path) const
{
    return "https://127.0.0.1:" + std::to_string(m_untrustedTlsPort) + path;
}

bool FakeServer::TrustTestRoot()
{
    const std::string pem = ReadFileText(WindowsPathOfUnix(SourceUnixPath("tests/server/test-root.pem")));
    DWORD size = 0;
    if (pem.empty() ||
        !CryptStringToBinaryA(pem.c_str(), DWORD(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
        return false;
    std::string der(size, '\0');
    if (!CryptStringToBinaryA(pem.c_str(), DWORD(pem.size()), CRYPT_STRING_BASE64HEADER,
                              reinterpret_cast<BYTE*>(&der[0]), &size, nullptr, nullptr))
        return false;
    HCERTSTORE root = CertOpenSystemStoreA(0, "ROOT");
    if (!root)
        return false;
    const BOOL added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                                        size, CERT_STORE_ADD_USE_EXISTING, nullptr);
    CertCloseStore(root, 0);
    return added != FALSE;
}

bool FakeServer::Control(const char* verb, const std::string& pathAndQuery, const std::string& body, std::string* answer)
{
    if (answer)
        answer->clear();
    if (!m_port)
        return false;
    CInternetHandle internet(InternetOpenA("kavo-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    CInternetHandle connection(
        internet ? InternetConnectA(internet, "127.0.0.1", INTERNET_PORT(m_port), nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0)
                 : nullptr);
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
    CInternetHandle request(
        connection ? HttpOpenRequestA(connection, verb, pathAndQuery.c_str(), "HTTP/1.1", nullptr, nullptr, flags, 0) : nullptr);
    if (!request)
        return false;
    static const char kJson[] = "Content-Type: application/json\r\n";
    if (!HttpSendRequestA(request, kJson, DWORD(-1), const_cast<char*>(body.data()), DWORD(body.size())))
        return false;
    DWORD status = 0;
    DWORD size = sizeof status;
    HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    char buffer[8192];
    DWORD read = 0;
    while (InternetReadFile(request, buffer, sizeof buffer, &read) && read) {
        if (answer)
            answer->append(buffer, read);
    }
    return status > 0 && status < 400;
}

bool FakeServer::Fail(const std::string& path, const std::string& mode, int times, const std::string& options)
{
    std::string body = "{\"path\": " + JsonBytes(path) + ", \"mode\": " + JsonBytes(mode) + ", \"times\": " + std::to_string(times);
    if (!options.empty())
        body += ", " + options;
    body += "}";
    return Control("POST", "/_control/fail", body, nullptr);
}

bool FakeServer::Route(const std::string& path, const std::string& body, int status, const std::string& headersJson,
                       double delay, int times)
{
    char number[32];
    std::snprintf(number, sizeof number, "%.3f", delay);
    const std::string routeJson = "{\"path\": " + JsonBytes(path) + ", \"body\": " + JsonBytes(body) +
                             ", \"status\": " + std::to_string(status) + ", \"headers\": " + headersJson +
                             ", \"delay\": " + number + ", \"times\": " + std::to_string(times) + "}";
    return Control("POST", "/_control/route", routeJson, nullptr);
}

bool FakeServer::RoutePadded(const std::string& path, const std::string& body, size_t size, char fill)
{
    const std::string routeJson = "{\"path\": " + JsonBytes(path) + ", \"body\": " + JsonBytes(body) +
                                  ", \"pad_to\": " + std::to_string(size) + ", \"fill\": " + JsonBytes(std::string(1, fill)) + "}";
    return Control("POST", "/_control/route", routeJson, nullptr);
}

bool FakeServer::Reset()
{
    return Control("POST", "/_control/reset", "", nullptr);
}

bool FakeServer::AddFixtures(const std::string& unixFolder)
{
    return Control("POST", "/_control/fixtures", "{\"dir\": " + JsonBytes(unixFolder) + "}", nullptr);
}

int FakeServer::Hits(const std::string& path)
{
    std::string answer;
    if (!Control("GET", "/_control/hits?path=" + QueryValue(path), "", &answer))
        return -1;
    return std::atoi(answer.c_str());
}

std::string FakeServer::Last(const std::string& path, const std::string& part)
{
    std::string answer;
    Control("GET", "/_control/last?path=" + QueryValue(path) + "&part=" + QueryValue(part), "", &answer);
    return answer;
}

std::string FakeServer::Log(const std::string& path)
{
    std::string answer;
    Control("GET", path.empty() ? std::string("/_control/log") : "/_control/log?path=" + QueryValue(path), "", &answer);
    return answer;
}

bool FakeServer::OrdersModel(const std::string& membersJson)
{
    return Control("POST", "/_control/orders/model", "{" + membersJson + "}", nullptr);
}

bool FakeServer::OrdersScript(const std::string& id, const std::string& members)
{
    std::string json = "{\"id\": " + JsonBytes(id);
    if (!members.empty())
        json += ", " + members;
    return Control("POST", "/_control/orders/script", json + "}", nullptr);
}

std::string FakeServer::OrdersIds()
{
    std::string answer;
    Control("GET", "/_control/orders/ids", "", &answer);
    return answer;
}

std::string FakeServer::OrdersField(const std::string& name, int n)
{
    std::string answer;
    if (!Control("GET", "/_control/orders/field?n=" + std::to_string(n) + "&name=" + QueryValue(name), "", &answer))
        answer.clear();
    return answer;
}

std::string FakeServer::OrdersFieldNames(int n)
{
    std::string answer;
    if (!Control("GET", "/_control/orders/names?n=" + std::to_string(n), "", &answer))
        answer.clear();
    return answer;
}

int FakeServer::ClosedPort()
{
    std::string answer;
    if (!Control("GET", "/_control/closed-port", "", &answer))
        return 0;
    return std::atoi(answer.c_str());
}

std::string FakeServer::UnixPath(const std::string& windowsPath)
{
    // Wine's own export: the mapping of drives and folders, whatever the prefix holds.
    using ToUnix = char*(CDECL*)(const WCHAR*);
    static const auto toUnix =
        reinterpret_cast<ToUnix>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::string();
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH))
        return std::string();
    char* unixName = toUnix(wide);
    if (!unixName)
        return std::string();
    std::string path(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return path;
}

std::string FakeServer::SourceUnixPath(const std::string& relative)
{
    return std::string(KAVO_SOURCE_DIR) + "/" + relative;
}

std::string FakeServer::JsonBytes(const std::string& bytes)
{
    std::string json = "\"";
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            json += char(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        }
    }
    return json + "\"";
}

std::string FakeServer::QueryValue(const std::string& text)
{
    std::string encoded;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
            c == '~' || c == '/') {
            encoded += char(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            encoded += escaped;
        }
    }
    return encoded;
}
