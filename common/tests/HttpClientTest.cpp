// The HTTP client, the file download and the fire-and-forget GET, against the local fake
// content server.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CHandle.h"
#include "CSimpleHttpStrStream.h"
#include "CThreadList.h"
#include "CWinInetRequest.h"
#include "DownloadFile.h"
#include "FakeServer.h"
#include "HttpGetAsync.h"
#include "KavoTestPaths.h"

namespace {

// Bytes that show a shifted, lost or repeated block.
std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    CHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

const size_t kBigSize = 256 * 1024;

class HttpClient : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = FakeServer::Shared();
        ASSERT_NE(server, nullptr) << "the fake content server did not start";
        ASSERT_TRUE(server->Reset());
        PublishBigFile();
        target = TempFolder() + "\\kavo-http-test-download.bin";
        DeleteFileA(target.c_str());
    }
    void TearDown() override { DeleteFileA(target.c_str()); }

    // A fixture folder of this process's own, with /big.bin in it.
    void PublishBigFile()
    {
        static bool published = false;
        if (published)
            return;
        const std::string folder = TempFolder() + "\\kavo-http-test-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(WriteBytes(folder + "\\big.bin", Pattern(kBigSize)));
        ASSERT_TRUE(server->AddFixtures(FakeServer::UnixPath(folder)));
        published = true;
    }

    // The Get of one path, the way the users call it.
    bool GetPath(const std::string& path, CSimpleHttpStrStream& body, DWORD* status = nullptr, int port = 0)
    {
        CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
        const bool got = request.Connect("127.0.0.1", INTERNET_PORT(port ? port : server->Port()), nullptr, nullptr) &&
                         request.Get(path.c_str(), &body);
        if (status)
            *status = request.GetStatusCode();
        return got;
    }

    FakeServer* server = nullptr;
    std::string target;
};

// --- CWinInetRequest ------------------------------------------------------------------

struct GetCase {
    const char* name;
    const char* fault;  // fault mode on /get, or "" for none
    bool closedPort;    // ask a port nobody listens on
    bool ok;
    DWORD status;
};

class HttpGet : public HttpClient, public ::testing::WithParamInterface<GetCase> {};

TEST_P(HttpGet, OnlyAWholeAnswerWithStatus200Succeeds)
{
    const GetCase& c = GetParam();
    ASSERT_TRUE(server->Route("/get", "hello body"));
    // Every request fails: WinINet sends a request again when a kept-alive connection closes.
    if (*c.fault) {
        ASSERT_TRUE(server->Fail("/get", c.fault, 0, "\"chunk\": 3, \"delay\": 0.02"));
    }
    CSimpleHttpStrStream body;
    DWORD status = 0;
    const bool got = GetPath("/get", body, &status, c.closedPort ? server->ClosedPort() : 0);
    EXPECT_EQ(got, c.ok);
    EXPECT_EQ(status, c.status);
    if (c.ok) {
        EXPECT_EQ(body.GetBytes(), "hello body");
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, HttpGet, ::testing::Values(
    GetCase{"Ok", "", false, true, 200},
    GetCase{"NotFound", "404", false, false, 404},
    GetCase{"ServerError", "500", false, false, 500},
    GetCase{"ClosedWithoutAnswer", "close", false, false, 0},
    GetCase{"Reset", "reset", false, false, 0},
    GetCase{"Refused", "", true, false, 0},
    GetCase{"BodyShorterThanItsLength", "short", false, false, 200},
    GetCase{"BodyWithoutLength", "no-length", false, true, 200},
    GetCase{"ChunkedBody", "chunked", false, true, 200},
    GetCase{"SlowBody", "slow", false, true, 200}),
    [](const ::testing::TestParamInfo<GetCase>& info) { return std::string(info.param.name); });

TEST_F(HttpClient, BodyWithNulKeepsEveryByteAndReadsAsTextUpToTheNul)
{
    ASSERT_TRUE(server->Route("/nul", std::string("ab\0cd", 5)));
    CSimpleHttpStrStream body;
    ASSERT_TRUE(GetPath("/nul", body));
    EXPECT_EQ(body.GetBytes(), std::string("ab\0cd", 5));
    EXPECT_STREQ(body.GetText(), "ab");
}

TEST_F(HttpClient, PostReadsAChunkedAnswerWhole)
{
    ASSERT_TRUE(server->Route("/form", Pattern(10000)));
    ASSERT_TRUE(server->Fail("/form", "chunked", 1, "\"chunk\": 333"));
    CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    ASSERT_TRUE(request.ConnectUrl("127.0.0.1", INTERNET_PORT(server->Port()), nullptr, nullptr, server->Url("/form").c_str()));
    CSimpleHttpStrStream body;
    ASSERT_TRUE(request.Post("/form", "a=1", 3, &body));
    EXPECT_TRUE(body.GetBytes() == Pattern(10000));
}

// Answers are bounded as definition files are: 4 MiB is read, one byte more fails the request.
TEST_F(HttpClient, AnswerLongerThanTheLimitFailsTheRequest)
{
    const size_t limit = CSimpleHttpStrStream::kMaxAnswerSize;
    ASSERT_EQ(limit, 4u * 1024 * 1024);
    for (const char* fault : {"", "chunked", "no-length"}) {
        SCOPED_TRACE(*fault ? fault : "with length");
        for (size_t size : {limit, limit + 1}) {
            ASSERT_TRUE(server->RoutePadded("/long", "A=1\r\n;", size, 'x'));
            if (*fault) {
                ASSERT_TRUE(server->Fail("/long", fault, 1, "\"chunk\": 65536"));
            }
            CSimpleHttpStrStream body;
            EXPECT_EQ(GetPath("/long", body), size == limit) << size;
            EXPECT_LE(body.GetBytes().size(), limit);
        }
    }
}

TEST(HttpStrStream, WritesBeyondItsLimitAreRefusedWhole)
{
    CSimpleHttpStrStream stream(5);
    ULONG written = 99;
    EXPECT_EQ(stream.Write("abc", 3, &written), S_OK);
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(stream.Write("def", 3, &written), STG_E_MEDIUMFULL);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(stream.Write("de", 2, &written), S_OK);
    EXPECT_EQ(stream.GetBytes(), "abcde");
    EXPECT_EQ(stream.Write("f", 1, &written), STG_E_MEDIUMFULL);
    EXPECT_EQ(stream.Write("", 0, &written), S_OK);
}

TEST_F(HttpClient, LargeBodyArrivesWhole)
{
    CSimpleHttpStrStream body;
    ASSERT_TRUE(GetPath("/big.bin", body));
    EXPECT_TRUE(body.GetBytes() == Pattern(kBigSize));
}

// A sink that takes only part of what it is given, or refuses it.
class ShortStream : public CSimpleHttpStrStream {
public:
    explicit ShortStream(HRESULT result) : m_result(result) {}
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG size, ULONG* written) override
    {
        *written = size / 2;
        return m_result;
    }

private:
    HRESULT m_result;
};

TEST_F(HttpClient, AStreamThatTakesTooLittleFailsTheRequest)
{
    ASSERT_TRUE(server->Route("/get", "hello body"));
    for (HRESULT result : {S_OK, E_FAIL}) {
        ShortStream sink(result);
        CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
        ASSERT_TRUE(request.Connect("127.0.0.1", INTERNET_PORT(server->Port()), nullptr, nullptr));
        EXPECT_FALSE(request.Get("/get", &sink)) << std::hex << result;
        EXPECT_EQ(request.GetStatusCode(), 200u);
    }
}

TEST_F(HttpClient, PostSendsTheFormAndCollectsTheAnswer)
{
    ASSERT_TRUE(server->Route("/form", "<answer/>"));
    const std::string form = "id=1001&name=%82%A0";
    CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    const std::string url = server->Url("/form");
    ASSERT_TRUE(request.ConnectUrl("127.0.0.1", INTERNET_PORT(server->Port()), nullptr, nullptr, url.c_str()));
    CSimpleHttpStrStream body;
    ASSERT_TRUE(request.Post("/form", form.data(), DWORD(form.size()), &body));
    EXPECT_EQ(body.GetBytes(), "<answer/>");
    EXPECT_EQ(server->Last("/form", "method"), "POST");
    EXPECT_EQ(server->Last("/form", "body"), form);
    EXPECT_EQ(server->Last("/form", "header:Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(HttpClient, PostWithAnErrorStatusFailsAndKeepsTheStatus)
{
    ASSERT_TRUE(server->Fail("/form", "500"));
    CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    ASSERT_TRUE(request.ConnectUrl("127.0.0.1", INTERNET_PORT(server->Port()), nullptr, nullptr, server->Url("/form").c_str()));
    CSimpleHttpStrStream body;
    EXPECT_FALSE(request.Post("/form", "a=1", 3, &body));
    EXPECT_EQ(request.GetStatusCode(), 500u);
}

TEST_F(HttpClient, DateHeaderIsReadAsSystemTime)
{
    ASSERT_TRUE(server->Route("/dated", "x", 200, "{\"X-Kind\": \"dated\"}"));
    CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    ASSERT_TRUE(request.Connect("127.0.0.1", INTERNET_PORT(server->Port()), nullptr, nullptr));
    CSimpleHttpStrStream body;
    ASSERT_TRUE(request.Get("/dated", &body));
    SYSTEMTIME date = {};
    ASSERT_TRUE(request.QueryDateHeader(HTTP_QUERY_DATE | HTTP_QUERY_FLAG_NUMBER, &date));
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    FILETIME a, b;
    SystemTimeToFileTime(&date, &a);
    SystemTimeToFileTime(&now, &b);
    const long long seconds = ((long long)(ULARGE_INTEGER{{b.dwLowDateTime, b.dwHighDateTime}}.QuadPart) -
                               (long long)(ULARGE_INTEGER{{a.dwLowDateTime, a.dwHighDateTime}}.QuadPart)) / 10000000;
    EXPECT_LE(seconds < 0 ? -seconds : seconds, 120);
}

TEST_F(HttpClient, UnknownSchemeIsRefused)
{
    CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    EXPECT_FALSE(request.CrackUrl("ftp://127.0.0.1/x"));
    EXPECT_FALSE(request.ConnectUrl("127.0.0.1", 21, nullptr, nullptr, "ftp://127.0.0.1/x"));
    EXPECT_TRUE(request.CrackUrl("https://127.0.0.1:8443/x"));
    EXPECT_EQ(request.GetPort(), 8443);
}

// --- https: TLS on the URL's port, certificate checked --------------------------------

// Every client, given an https URL: true when the body arrived.
struct HttpsClient {
    const char* name;
    std::function<bool(const std::string& url)> fetch;
};

const char kSecureBody[] = "secret answer";

int PortOf(const std::string& url)
{
    const size_t hostEnd = url.find('/', 8);
    const std::string hostPort = url.substr(8, hostEnd - 8);
    return std::stoi(hostPort.substr(hostPort.find(':') + 1));
}

bool FetchWithGet(const std::string& url)
{
    CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    CSimpleHttpStrStream body;
    EXPECT_TRUE(request.ConnectUrl("127.0.0.1", INTERNET_PORT(PortOf(url)), nullptr, nullptr, url.c_str()));
    return request.Get(url.substr(url.find('/', 8)).c_str(), &body) && body.GetBytes() == kSecureBody;
}

bool FetchWithPost(const std::string& url)
{
    CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    CSimpleHttpStrStream body;
    EXPECT_TRUE(request.ConnectUrl("127.0.0.1", INTERNET_PORT(PortOf(url)), nullptr, nullptr, url.c_str()));
    return request.Post(url.substr(url.find('/', 8)).c_str(), "secret=1", 8, &body) && body.GetBytes() == kSecureBody;
}

bool FetchWithDownload(const std::string& url)
{
    const std::string path = TempFolder() + "\\kavo-https-download.bin";
    const HRESULT result = DownloadFile(url.c_str(), path.c_str(), nullptr);
    EXPECT_TRUE(result == S_OK || result == INET_E_DOWNLOAD_FAILURE) << std::hex << result;
    const bool arrived = result == S_OK && ReadWholeFile(path) == kSecureBody;
    DeleteFileA(path.c_str());
    return arrived;
}

// The ping drops its answer: it arrived when the server saw the request.
bool FetchWithPing(const std::string& url)
{
    HttpGetAsync(url.c_str(), true);
    return false;
}

const HttpsClient kHttpsClients[] = {
    {"Get", FetchWithGet},
    {"Post", FetchWithPost},
    {"DownloadFile", FetchWithDownload},
    {"HttpGetAsync", FetchWithPing},
};

int CountInLog(const std::string& log, const std::string& method)
{
    int count = 0;
    const std::string needle = "\"method\": \"" + method + "\"";
    for (size_t at = log.find(needle); at != std::string::npos; at = log.find(needle, at + 1))
        ++count;
    return count;
}

TEST_F(HttpClient, HttpsUrlsAreFetchedOverTlsOnTheirPort)
{
    for (const HttpsClient& client : kHttpsClients) {
        SCOPED_TRACE(client.name);
        ASSERT_TRUE(server->Reset());
        // The plain listener notes a TLS hello; a client speaking plain HTTP would be a hit.
        EXPECT_FALSE(client.fetch("https://127.0.0.1:" + std::to_string(server->Port()) + "/secure"));
        EXPECT_EQ(server->Hits("/secure"), 0);
        EXPECT_GE(CountInLog(server->Log(), "TLS-HANDSHAKE"), 1);
    }
}

// The test root is trusted in this prefix: a certificate for 127.0.0.1 under it is accepted,
// so a client that broke every TLS connection would fail here.
TEST_F(HttpClient, CertificateUnderATrustedRootIsAccepted)
{
    ASSERT_GT(server->TlsPort(), 0);
    for (const HttpsClient& client : kHttpsClients) {
        SCOPED_TRACE(client.name);
        ASSERT_TRUE(server->Reset());
        ASSERT_TRUE(server->Route("/secure", kSecureBody));
        const bool arrived = client.fetch(server->TlsUrl("/secure"));
        EXPECT_EQ(server->Hits("/secure"), 1);
        if (std::string(client.name) != "HttpGetAsync") {
            EXPECT_TRUE(arrived);
        }
        EXPECT_NE(server->Log("/secure").find("\"listener\": \"https\""), std::string::npos);
    }
}

TEST_F(HttpClient, UntrustedCertificateIsRejected)
{
    ASSERT_GT(server->UntrustedTlsPort(), 0);
    for (const HttpsClient& client : kHttpsClients) {
        SCOPED_TRACE(client.name);
        ASSERT_TRUE(server->Reset());
        ASSERT_TRUE(server->Route("/secure", kSecureBody));
        // That listener's certificate is self-signed: no request may get through it.
        EXPECT_FALSE(client.fetch(server->UntrustedTlsUrl("/secure")));
        EXPECT_EQ(server->Hits("/secure"), 0);
        // The server notes the refused handshake on its own thread, possibly after the
        // client has already given up.
        int refused = 0;
        for (int wait = 0; wait < 50 && refused == 0; ++wait) {
            const std::string log = server->Log();
            refused = CountInLog(log, "TLS-FAILED") + CountInLog(log, "TLS-NO-REQUEST");
            if (refused == 0)
                Sleep(100);
        }
        EXPECT_GE(refused, 1) << "the TLS listener was not reached";
    }
}

// --- DownloadFile ---------------------------------------------------------------------

struct DownloadCase {
    const char* name;
    const char* path;
    const char* fault;
    bool closedPort;
    HRESULT result;
};

class Download : public HttpClient, public ::testing::WithParamInterface<DownloadCase> {};

TEST_P(Download, ResultSaysWhetherTheWholeFileArrived)
{
    const DownloadCase& c = GetParam();
    ASSERT_TRUE(server->Route("/empty", ""));
    if (*c.fault) {
        ASSERT_TRUE(server->Fail(c.path, c.fault, 0));
    }
    const std::string url = c.closedPort ? "http://127.0.0.1:" + std::to_string(server->ClosedPort()) + c.path
                                         : server->Url(c.path);
    EXPECT_EQ(DownloadFile(url.c_str(), target.c_str(), nullptr), c.result);
    if (c.result == S_OK) {
        EXPECT_TRUE(ReadWholeFile(target) == (std::string(c.path) == "/empty" ? std::string() : Pattern(kBigSize)));
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, Download, ::testing::Values(
    DownloadCase{"Ok", "/big.bin", "", false, S_OK},
    DownloadCase{"EmptyBodyMakesAnEmptyFile", "/empty", "", false, S_OK},
    DownloadCase{"BodyWithoutLength", "/big.bin", "no-length", false, S_OK},
    DownloadCase{"ChunkedBody", "/big.bin", "chunked", false, S_OK},
    DownloadCase{"NotFound", "/big.bin", "404", false, INET_E_DOWNLOAD_FAILURE},
    DownloadCase{"ServerError", "/big.bin", "500", false, INET_E_DOWNLOAD_FAILURE},
    DownloadCase{"ClosedWithoutAnswer", "/big.bin", "close", false, INET_E_DOWNLOAD_FAILURE},
    DownloadCase{"Refused", "/big.bin", "", true, INET_E_DOWNLOAD_FAILURE},
    DownloadCase{"BodyShorterThanItsLength", "/big.bin", "short", false, INET_E_DOWNLOAD_FAILURE},
    DownloadCase{"MissingPath", "/no-such-file.bin", "", false, INET_E_DOWNLOAD_FAILURE}),
    [](const ::testing::TestParamInfo<DownloadCase>& info) { return std::string(info.param.name); });

TEST_F(HttpClient, DownloadIntoAFolderThatDoesNotExistFails)
{
    const std::string path = TempFolder() + "\\kavo-no-such-folder\\file.bin";
    EXPECT_EQ(DownloadFile(server->Url("/big.bin").c_str(), path.c_str(), nullptr), INET_E_DOWNLOAD_FAILURE);
    EXPECT_EQ(DownloadFile("gopher://127.0.0.1/x", target.c_str(), nullptr), INET_E_DOWNLOAD_FAILURE);
}

TEST_F(HttpClient, DownloadSendsThePathWithItsQuery)
{
    ASSERT_TRUE(server->Route("/pkg", "x"));
    ASSERT_EQ(DownloadFile(server->Url("/pkg?v=2&k=K").c_str(), target.c_str(), nullptr), S_OK);
    EXPECT_EQ(server->Last("/pkg", "query"), "v=2&k=K");
}

// Records every progress call; can cancel or act at a given call.
class ProgressRecorder : public IBindStatusCallback {
public:
    struct Call {
        ULONG progress;
        ULONG max;
        ULONG status;
    };
    std::vector<Call> calls;
    size_t abortAt = 0;  // 1-based call that answers E_ABORT; 0 never
    std::function<void()> onFirstCall;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG max, ULONG status, LPCWSTR) override
    {
        calls.push_back({progress, max, status});
        if (calls.size() == 1 && onFirstCall)
            onFirstCall();
        return calls.size() == abortAt ? E_ABORT : S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD*, BINDINFO*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }
};

TEST_F(HttpClient, ProgressCountsUpToTheContentLength)
{
    ProgressRecorder progress;
    ASSERT_EQ(DownloadFile(server->Url("/big.bin").c_str(), target.c_str(), &progress), S_OK);
    ASSERT_FALSE(progress.calls.empty());
    ULONG last = 0;
    for (const auto& call : progress.calls) {
        EXPECT_GT(call.progress, last);
        EXPECT_EQ(call.max, kBigSize);
        EXPECT_EQ(call.status, ULONG(BINDSTATUS_DOWNLOADINGDATA));
        last = call.progress;
    }
    EXPECT_EQ(last, kBigSize);
}

// Without a length no share of the whole is known: progress goes against 0 ("unknown"),
// so no percentage above 0 can be made of it.
TEST_F(HttpClient, ProgressWithoutContentLengthHasNoKnownEnd)
{
    for (const char* fault : {"no-length", "chunked"}) {
        SCOPED_TRACE(fault);
        ASSERT_TRUE(server->Fail("/big.bin", fault, 1, "\"chunk\": 16384"));
        ProgressRecorder progress;
        ASSERT_EQ(DownloadFile(server->Url("/big.bin").c_str(), target.c_str(), &progress), S_OK);
        ASSERT_FALSE(progress.calls.empty());
        for (const auto& call : progress.calls)
            EXPECT_EQ(call.max, 0u) << call.progress;
        EXPECT_EQ(progress.calls.back().progress, kBigSize);
        EXPECT_TRUE(ReadWholeFile(target) == Pattern(kBigSize));
    }
}

TEST_F(HttpClient, CancelFromProgressReturnsAbortAndLeavesThePartialFile)
{
    // A dripping body arrives in many reads, so the cancel comes before its end.
    ASSERT_TRUE(server->Fail("/big.bin", "slow", 1, "\"chunk\": 16384, \"delay\": 0.02"));
    ProgressRecorder progress;
    progress.abortAt = 1;
    ASSERT_EQ(DownloadFile(server->Url("/big.bin").c_str(), target.c_str(), &progress), E_ABORT);
    ASSERT_EQ(progress.calls.size(), 1u);
    const std::string partial = ReadWholeFile(target);
    EXPECT_TRUE(FileExists(target));
    EXPECT_EQ(partial.size(), progress.calls[0].progress);
    EXPECT_LT(partial.size(), kBigSize);
    EXPECT_TRUE(partial == Pattern(kBigSize).substr(0, partial.size()));
}

TEST_F(HttpClient, FailedWriteFailsTheDownload)
{
    // The target is a pipe whose reader goes away after the first chunk: the next write fails.
    const std::string pipeName = "\\\\.\\pipe\\kavo-download-test-" + std::to_string(GetCurrentProcessId());
    CHandle pipe(CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 1 << 20, 0, nullptr));
    ASSERT_TRUE(pipe);
    ASSERT_TRUE(server->Fail("/big.bin", "slow", 1, "\"chunk\": 16384, \"delay\": 0.02"));
    ProgressRecorder progress;
    progress.onFirstCall = [&pipe] { pipe.Close(); };
    EXPECT_EQ(DownloadFile(server->Url("/big.bin").c_str(), pipeName.c_str(), &progress), INET_E_DOWNLOAD_FAILURE);
    EXPECT_EQ(progress.calls.size(), 1u);
}

// --- HttpGetAsync ---------------------------------------------------------------------

class ThreadListMapping {
public:
    ThreadListMapping() : m_mapping(CreateThreadListMapping(ThreadListMappingName())) {}
    ~ThreadListMapping() { DestroyThreadListMapping(m_mapping); }
    ThreadListMapping(const ThreadListMapping&) = delete;
    ThreadListMapping& operator=(const ThreadListMapping&) = delete;
    HANDLE Get() const { return m_mapping; }
    int Count() const
    {
        auto* slot = static_cast<CThreadList**>(MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(void*)));
        const int count = slot && *slot ? (*slot)->GetCount() : -1;
        if (slot)
            UnmapViewOfFile(slot);
        return count;
    }

private:
    HANDLE m_mapping;
};

TEST_F(HttpClient, FireAndForgetGetIsWaitedForThroughTheThreadList)
{
    ThreadListMapping mapping;
    ASSERT_NE(mapping.Get(), nullptr);
    ASSERT_TRUE(server->Route("/ping", "counted", 200, "{}", 1.0));
    const DWORD start = GetTickCount();
    HttpGetAsync(server->Url("/ping").c_str(), false);
    // The host's wait at exit, right after the call: the worker is already listed.
    WaitThreadListMapping(mapping.Get());
    EXPECT_GE(GetTickCount() - start, 900u) << "the wait did not wait for the worker";
    EXPECT_EQ(server->Hits("/ping"), 1);
    EXPECT_EQ(mapping.Count(), 0) << "the worker did not remove itself";
}

TEST_F(HttpClient, FireAndForgetGetDropsTheQueryAndWorksWithoutAList)
{
    ASSERT_TRUE(server->Route("/ping", "counted"));
    HttpGetAsync(server->Url("/ping?screen=A_N08&n=0").c_str(), true);
    EXPECT_EQ(server->Hits("/ping"), 1);
    EXPECT_EQ(server->Last("/ping", "query"), "");
    EXPECT_EQ(server->Last("/ping", "method"), "GET");
}

TEST_F(HttpClient, FireAndForgetGetOfNoUrlSendsNothing)
{
    HttpGetAsync(nullptr, true);
    HttpGetAsync("", true);
    EXPECT_EQ(server->Log(), "[]");
}

}  // namespace
