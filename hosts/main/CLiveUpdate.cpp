#include "CLiveUpdate.h"

#include <process.h>
#include <shlwapi.h>
#include <wininet.h>

#include <memory>

#include "CHandle.h"
#include "CSimpleHttpStrStream.h"
#include "CTextDef.h"
#include "CWinInetRequest.h"
#include "CodeSignature.h"
#include "DownloadFile.h"
#include "KavoMessages.h"
#include "UrlParts.h"

namespace {

// Line breaks separate tokens too: a version file saved with a final line end stays readable.
const char kTokenSeparators[] = " \t\r\n";

bool IsSeparator(char c)
{
    return c != '\0' && strchr(kTokenSeparators, c) != nullptr;
}

// The token starting at or after *cursor; *cursor moves past it. Empty when none is left.
CString NextToken(const char*& cursor)
{
    while (IsSeparator(*cursor))
        ++cursor;
    const char* start = cursor;
    while (*cursor != '\0' && !IsSeparator(*cursor))
        ++cursor;
    return CString(start, static_cast<int>(cursor - start));
}

const char* OrNull(const CString& text)
{
    return text.IsEmpty() ? nullptr : text.GetString();
}

bool FetchText(const char* url, CString& body)
{
    CUrlParts parts;
    if (!SplitUrl(url, parts))
        return false;
    CWinInetRequest request(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, 0);
    if (!request.ConnectUrl(parts.host, parts.port, OrNull(parts.user), OrNull(parts.password), url))
        return false;
    CSimpleHttpStrStream stream;
    if (!request.Get(parts.path + parts.extra, &stream))
        return false;
    body = stream.GetText();
    return true;
}

}  // namespace

ULONGLONG LiveUpdateVersion::Number() const
{
    return (static_cast<ULONGLONG>(major) << 48) | (static_cast<ULONGLONG>(minor) << 32) |
           (static_cast<ULONGLONG>(third) << 16) | fourth;
}

LiveUpdateAction ChooseUpdateAction(const LiveUpdateVersion& own, const LiveUpdateVersion& remote)
{
    if (remote.Number() <= own.Number())
        return LiveUpdateAction::None;
    if (own.major != remote.major || own.minor != remote.minor)
        return LiveUpdateAction::Installer;
    if (own.third != remote.third)
        return LiveUpdateAction::Patch;
    return LiveUpdateAction::None;
}

bool CLiveUpdate::ParseVersionFile(const char* text, LiveUpdateVersion& version)
{
    version = LiveUpdateVersion();
    if (!text)
        return false;
    const char* cursor = text;
    version.text = NextToken(cursor);
    version.patchUrl = NextToken(cursor);

    WORD* parts[] = {&version.major, &version.minor, &version.third, &version.fourth};
    const char* part = version.text.GetString();
    for (WORD* target : parts) {
        if (*part == '\0')
            break;
        *target = static_cast<WORD>(StrToIntA(part));
        const char* dot = strchr(part, '.');
        if (!dot)
            break;
        part = dot + 1;
    }
    return version.major != 0;
}

LiveUpdateVersion CLiveUpdate::ReadOwnVersion(const char* path)
{
    LiveUpdateVersion version;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return version;
    std::unique_ptr<BYTE[]> block(new BYTE[size]);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path, 0, size, block.get()) ||
        !VerQueryValueA(block.get(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return version;
    version.major = HIWORD(info->dwFileVersionMS);
    version.minor = LOWORD(info->dwFileVersionMS);
    version.third = HIWORD(info->dwFileVersionLS);
    version.fourth = LOWORD(info->dwFileVersionLS);
    return version;
}

int CLiveUpdate::Start(HWND notifyWindow, const char* libraryPath, bool wait)
{
    std::unique_ptr<CLiveUpdate> update(new CLiveUpdate);
    update->notifyWindow = notifyWindow;
    update->libraryPath = libraryPath ? libraryPath : "";
    CHandle thread(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ThreadMain, update.get(), 0, nullptr)));
    if (!thread) {
        update->Finish(-1);
        return -1;
    }
    update.release();  // the worker deletes it
    if (wait)
        WaitForSingleObject(thread, INFINITE);
    return 0;
}

unsigned __stdcall CLiveUpdate::ThreadMain(void* self)
{
    std::unique_ptr<CLiveUpdate> update(static_cast<CLiveUpdate*>(self));
    return static_cast<unsigned>(update->Run());
}

void CLiveUpdate::Post(WPARAM kind, LPARAM value) const
{
    PostMessageA(notifyWindow, WM_KAVO_UPDATEPROGRESS, kind, value);
}

int CLiveUpdate::Finish(int result) const
{
    Post(0, result);
    return result;
}

int CLiveUpdate::Run()
{
    Post(1, 0);
    const LiveUpdateVersion own = ReadOwnVersion(libraryPath);
    Post(1, 11);
    const CString url = CTextDef::GetUrlText("COMMON_URI_KAVOUPDATE");
    CUrlParts parts;
    if (!SplitUrl(url, parts))
        return Finish(3);
    Post(1, 22);
    CString body;
    if (!FetchText(url, body))
        return Finish(3);
    Post(1, 34);
    LiveUpdateVersion remote;
    if (!ParseVersionFile(body, remote))
        return Finish(3);

    switch (ChooseUpdateAction(own, remote)) {
    case LiveUpdateAction::Installer:
        return Finish(DownloadAndRun(CTextDef::GetUrlText("COMMON_URI_KAVOINSTALLER"), remote.text, false) ? 2 : -1);
    case LiveUpdateAction::Patch: {
        Post(2, 2);
        const bool started = DownloadAndRun(remote.patchUrl, remote.text, true);
        Post(1, 100);
        return Finish(started ? 1 : -1);
    }
    case LiveUpdateAction::None:
        break;
    }
    Post(1, 100);
    return Finish(0);
}

bool CLiveUpdate::DownloadAndRun(const char* url, const char* versionText, bool wait)
{
    char folder[MAX_PATH] = "";
    lstrcpynA(folder, libraryPath, MAX_PATH);
    PathRemoveFileSpecA(folder);
    const CString path = CString(folder) + "\\download.tmp";
    DeleteFileA(path);
    if (!url || !*url || FAILED(DownloadFile(url, path, this)))
        return false;

    // Shared for reading only: the bytes checked stay the bytes that run.
    CHandle program(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!program)
        return false;
    const SignatureCheck check = VerifyCodeSignature(path, CTextDef::GetText(kOwnUpdatePublisherKey), program);
    if (check.verdict != SignatureVerdict::Trusted) {
        program.Close();
        DeleteFileA(path);
        return false;
    }

    CString commandLine;
    commandLine.Format("\"%s\" -v %s", path.GetString(), versionText ? versionText : "");
    STARTUPINFOA startup = {};
    GetStartupInfoA(&startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    if (wait)
        WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

STDMETHODIMP CLiveUpdate::OnProgress(ULONG progress, ULONG progressMax, ULONG, LPCWSTR)
{
    if (progressMax != 0)
        Post(1, static_cast<LPARAM>(static_cast<ULONGLONG>(progress) * 33 / progressMax + 34));
    return S_OK;
}

STDMETHODIMP CLiveUpdate::OnStartBinding(DWORD, IBinding*) { return S_OK; }
STDMETHODIMP CLiveUpdate::GetPriority(LONG*) { return S_OK; }
STDMETHODIMP CLiveUpdate::OnLowResource(DWORD) { return S_OK; }
STDMETHODIMP CLiveUpdate::OnStopBinding(HRESULT, LPCWSTR) { return S_OK; }
STDMETHODIMP CLiveUpdate::GetBindInfo(DWORD*, BINDINFO*) { return S_OK; }
STDMETHODIMP CLiveUpdate::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) { return S_OK; }
STDMETHODIMP CLiveUpdate::OnObjectAvailable(REFIID, IUnknown*) { return S_OK; }
