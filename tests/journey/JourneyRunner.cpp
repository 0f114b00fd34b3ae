#include "JourneyRunner.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>
#include <wincrypt.h>

#include <cstdio>

#include "CAxHost.h"
#include "CRegKey.h"
#include "CTextDef.h"
#include "InstalledProduct.h"
#include "KavoTestPaths.h"
#include "KavoVersion.h"
#include "LoginParams.h"
#include "ScriptedBrowser.h"
#include "StartPage.h"
#include "StepLetters.h"

namespace {

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
// Wine's per-program settings, read when a program starts.
const char kWineAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Where the operator's definitions have the install page download the package from.
const char kInstallerFolder[] = "contents\\security\\kavo\\currentversion";
const char* const kInstallerNames[] = {"Security_Setup_32_K.exe", "Security_Setup_64_K.exe"};

// The product object's class key; Wine honours only the 32-bit view of HKLM's classes.
std::string ProductClassKey()
{
    wchar_t clsid[64] = {};
    StringFromGUID2(CLSID_KavoInstalledProduct, clsid, 64);
    char text[64] = {};
    WideCharToMultiByte(CP_ACP, 0, clsid, -1, text, sizeof text, nullptr, nullptr);
    return std::string("Software\\Classes\\CLSID\\") + text;
}

bool ProductClassRegistered()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (ProductClassKey() + "\\InprocServer32").c_str(), 0, KEY_READ | KEY_WOW64_32KEY,
                      &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool RegisterProductClass(const std::string& dll)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (ProductClassKey() + "\\InprocServer32").c_str(), 0, nullptr, 0,
                        KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(dll.c_str()), DWORD(dll.size() + 1));
    RegSetValueExA(key, "ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>("Both"), 5);
    RegCloseKey(key);
    return true;
}

// "HKLM\\sub\\key\\value" or "HKCU\\..." as the fake setup takes it.
void DeleteStatusValue(const std::string& where)
{
    const size_t first = where.find('\\');
    const size_t last = where.rfind('\\');
    if (first == std::string::npos || last <= first)
        return;
    const std::string rootName = where.substr(0, first);
    const HKEY root = rootName == "HKLM" ? HKEY_LOCAL_MACHINE : rootName == "HKCU" ? HKEY_CURRENT_USER : nullptr;
    HKEY key = nullptr;
    if (!root || RegOpenKeyExA(root, where.substr(first + 1, last - first - 1).c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                               &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, where.substr(last + 1).c_str());
    RegCloseKey(key);
}

void UnregisterProductClass()
{
    HKEY classes = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\CLSID", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &classes) !=
        ERROR_SUCCESS)
        return;
    const std::string key = ProductClassKey();
    RegDeleteTreeA(classes, key.substr(key.rfind('\\') + 1).c_str());
    RegCloseKey(classes);
}

void AppendBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void EmptyFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EmptyFolder(path);
            RemoveDirectoryA(path.c_str());
        } else {
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The definition with key's line (or a new last line) giving it text.
void SetDefinitionText(std::string& definition, const std::string& key, const std::string& text)
{
    const std::string start = "\r\n" + key + "=";
    std::string framed = "\r\n" + definition;
    const size_t at = framed.find(start);
    if (at == std::string::npos) {
        if (!definition.empty() && definition.compare(definition.size() - 2, 2, "\r\n") != 0)
            definition += "\r\n";
        definition += key + "=" + text + "\r\n";
        return;
    }
    const size_t value = at + start.size();
    const size_t end = framed.find("\r\n", value);
    framed.replace(value, (end == std::string::npos ? framed.size() : end) - value, text);
    definition = framed.substr(2);
}

std::string WindowText(HWND window)
{
    char text[2048] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                             &copied))
        return {};
    return std::string(text, strnlen(text, sizeof text));
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct WindowSearch {
    DWORD pid;
    const char* className;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || ClassOf(window) != search->className || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND TopLevelOf(DWORD pid, const char* className)
{
    WindowSearch search = {pid, className, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Polls done every 50 ms until it holds or timeout passes; INFINITE waits for ever.
template <typename Done>
bool Poll(DWORD timeout, Done done)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (timeout != INFINITE && GetTickCount() - start > timeout)
            return false;
        Sleep(50);
    }
}

int ButtonId(const std::string& name)
{
    if (name == "yes")
        return IDYES;
    if (name == "no")
        return IDNO;
    if (name == "ok")
        return IDOK;
    return IDCANCEL;
}

std::string Expanded(const std::string& path)
{
    char expanded[MAX_PATH] = {};
    const DWORD length = ExpandEnvironmentStringsA(path.c_str(), expanded, sizeof expanded);
    return length == 0 || length > sizeof expanded ? path : std::string(expanded);
}

// The members of a journey's JSON object (CP932 bytes) as the fake order system takes them.
// It keeps texts as bytes, one character each: the CP932 bytes go over as such characters,
// and since a trail byte may look like a backslash or a quote, both bytes of a character go
// escaped.
std::string MembersOf(const std::string& object)
{
    const std::string inner = object.substr(1, object.size() - 2);
    std::string members;
    for (size_t i = 0; i < inner.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(inner[i]);
        if (byte < 0x80) {
            members += inner[i];
            continue;
        }
        const size_t bytes = IsDBCSLeadByteEx(932, byte) && i + 1 < inner.size() ? 2 : 1;
        for (size_t k = 0; k < bytes; ++k) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(inner[i + k]));
            members += escaped;
        }
        i += bytes - 1;
    }
    return members;
}

// A process of the program at path other than the one of pid other, opened to be waited for;
// null when none runs.
HANDLE OpenProcessOf(const std::string& path, DWORD other, DWORD* pid)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return nullptr;
    const std::string name = path.substr(path.rfind('\\') + 1);
    HANDLE found = nullptr;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == other || lstrcmpiA(entry.szExeFile, name.c_str()) != 0)
            continue;
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (!process)
            continue;
        char image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        // A program of the same name elsewhere is not the run's.
        if (QueryFullProcessImageNameA(process, 0, image, &size) && lstrcmpiA(image, path.c_str()) == 0) {
            found = process;
            *pid = entry.th32ProcessID;
        } else {
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
    return found;
}

void DeleteRunOnceValue(const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

// The RunOnce value of that name; "-" when there is none.
std::string RunOnceValue(const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "-";
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    const LONG read = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_SZ ? std::string(data) : std::string("-");
}

void ForgetWindowsVersion(const std::string& program)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (kWineAppDefaultsKey + program).c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, "Version");
    RegCloseKey(key);
}

std::vector<std::string> SplitAtCommas(const std::string& text)
{
    std::vector<std::string> pieces;
    for (size_t at = 0; at < text.size();) {
        const size_t comma = text.find(',', at);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        pieces.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return pieces;
}

}  // namespace

JourneyRunner::JourneyRunner(JourneyOptions options) : m_options(std::move(options)) {}

JourneyRunner::~JourneyRunner()
{
    EndProgram();
    // A journey that stopped half-way must not leave the next run's check a conflict.
    for (const std::string& name : m_plantedUninstall)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + name).c_str());
    // An installed product left behind would turn the next run's normal sequence to an upgrade.
    if (m_productClassTouched)
        UnregisterProductClass();
    DeleteStatusValue(m_setupStatusValue);
    for (const std::string& name : m_setupRunOnce)
        DeleteRunOnceValue(name);
    for (HANDLE process : m_spawned) {
        if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0)
            TerminateProcess(process, 1);
        CloseHandle(process);
    }
    // Every other program, and the next run, sees the prefix's own Windows again.
    for (const std::string& program : m_windowsVersions)
        ForgetWindowsVersion(program);
}

bool JourneyRunner::Prepare(std::string* error)
{
    const std::string& run = m_options.runFolder;
    SHCreateDirectoryExA(nullptr, run.c_str(), nullptr);
    EmptyFolder(run);
    for (const char* program : {"KAVO.exe", "KAVOCore.dll", "KAVOComp.exe"}) {
        if (!CopyFileA((m_options.binFolder + "\\" + program).c_str(), (run + "\\" + program).c_str(), FALSE)) {
            *error = std::string("cannot copy ") + program + " into " + run;
            return false;
        }
    }
    m_recordFolder = run + "\\record";
    CreateDirectoryA(m_recordFolder.c_str(), nullptr);
    SetEnvironmentVariableA("KAVO_SCRIPTED_BROWSER_DIR", m_recordFolder.c_str());

    if (!m_server.Start({FakeServer::SourceUnixPath("tests/journey/fixtures"), FakeServer::SourceUnixPath("tests/server/fixtures")},
                        false)) {
        *error = "cannot start the fake server";
        return false;
    }
    std::string definition = ReadWholeFile(SourcePath("resources/text.def"));
    if (definition.empty()) {
        *error = "cannot read resources/text.def";
        return false;
    }
    SetDefinitionText(definition, "COMMON_INITCONF_URL", m_server.BaseUrl());
    SetDefinitionText(definition, "COMMON_URI_OPS", m_server.Url(FakeServer::OrdersPath()));
    SetDefinitionText(definition, "COMMON_NAME_LOGFILE", "kavo.log");
    // A plain start's update check asks the content server for the published version; the
    // journeys publish the build's own, so the check goes on into the normal sequence.
    const std::string versionPath = "/contents/security/kavo/lud/version_k.html";
    if (!m_server.Route(versionPath, KAVO_VERSION_TEXT "\r\n")) {
        *error = "cannot publish the version file";
        return false;
    }
    SetDefinitionText(definition, "COMMON_URI_KAVOUPDATE", m_server.Url(versionPath));
    SetDefinitionText(definition, "COMMON_URI_KAVOINSTALLER", m_server.Url("/contents/security/kavo/currentversion/Security_Setup_K.exe"));
    // The texts an operator ships in its own definition, which the built-in one leaves empty;
    // a later entry of a key replaces an earlier one.
    const std::string operatorTexts = ReadWholeFile(SourcePath("tests/journey/operator-texts.def"));
    if (operatorTexts.empty()) {
        *error = "cannot read tests/journey/operator-texts.def";
        return false;
    }
    if (definition.size() >= 2 && definition.compare(definition.size() - 2, 2, "\r\n") != 0)
        definition += "\r\n";
    definition += operatorTexts;
    if (!WriteWholeFile(run + "\\text.def", definition) || !CTextDef::LoadFromFile((run + "\\text.def").c_str())) {
        *error = "cannot write the test text definition";
        return false;
    }
    // The normal sequence stores the domain its judgement named, which the main program
    // prefers at its next start: one of an earlier run would name that run's server.
    CRegKey machineKey;
    if (machineKey.Open(CTextDef::GetRegRoot("COMMON_REG_HKLM_KAVO"), CTextDef::GetRegPath("COMMON_REG_HKLM_KAVO"),
                        KEY_SET_VALUE) == ERROR_SUCCESS)
        machineKey.DeleteValue("Domain");
    // A run mode of the launcher tool keeps the customer's sign-in values for the next start,
    // whose sign-in page would then open filled in.
    DeleteLoginParams();

    m_names = ParseControlNames(ReadWholeFile(SourcePath("resources/resource.h")));
    if (!ParseScreenTable(ReadWholeFile(SourcePath("tests/journey/screens.txt")), m_names, &m_screens, error)) {
        *error = "screens.txt " + *error;
        return false;
    }
    if (!m_options.picturesFolder.empty()) {
        SHCreateDirectoryExA(nullptr, m_options.picturesFolder.c_str(), nullptr);
        DeleteFileA((m_options.picturesFolder + "\\pictures.txt").c_str());
        WriteWholeFile(m_options.picturesFolder + "\\default-stylesheet.css",
                   std::string(CTextDef::GetText("COMMON_DEFAULTSTYLESHEET")));
    }
    std::printf("run folder %s, fake server %s\n", run.c_str(), m_server.BaseUrl().c_str());
    return true;
}

bool JourneyRunner::Run(const std::vector<JourneyStep>& steps, std::string* error)
{
    for (const JourneyStep& step : steps) {
        std::string line = step.verb;
        for (const std::string& field : step.fields)
            line += " " + field;
        std::printf("%3d  %s\n", step.line, line.c_str());
        std::fflush(stdout);
        std::string why;
        if (!RunStep(step, &why)) {
            *error = "line " + std::to_string(step.line) + " (" + step.verb + "): " + why;
            EndProgram();
            return false;
        }
    }
    return true;
}

std::string JourneyRunner::Text(const std::string& field) const
{
    if (field == "\"\"")
        return {};
    if (field.compare(0, 4, "def:") == 0)
        return std::string(CTextDef::GetText(field.substr(4).c_str()));
    std::string text = field;
    for (size_t at; (at = text.find("@BASE@")) != std::string::npos;)
        text.replace(at, 6, m_server.BaseUrl());
    for (size_t at; (at = text.find("@RUN@")) != std::string::npos;)
        text.replace(at, 5, m_options.runFolder);
    return text;
}

HWND JourneyRunner::Control(const std::string& name, std::string* why) const
{
    const int id = ControlId(m_names, name);
    HWND control = m_page && id >= 0 ? GetDlgItem(m_page, id) : nullptr;
    if (!control)
        *why = m_page ? "the page has no control " + name : "no page is shown (no page step before)";
    return control;
}

bool JourneyRunner::WaitForScreen(const ScreenLook& look, DWORD timeout, std::string* why)
{
    std::string seen;
    const bool found = Poll(timeout, [&] {
        m_frame = TopLevelOf(m_pid, "KAVOWizardWindowClass");
        m_page = m_frame ? FindWindowExA(m_frame, nullptr, "#32770", nullptr) : nullptr;
        if (!m_page || !IsWindowVisible(m_page))
            return false;
        for (const ScreenLook::ControlText& entry : look.texts) {
            HWND control = GetDlgItem(m_page, entry.control);
            const std::string text = control ? WindowText(control) : std::string();
            if (text != std::string(CTextDef::GetText(entry.key.c_str()))) {
                seen = entry.name + " shows \"" + text + "\"";
                return false;
            }
        }
        return true;
    });
    if (!found)
        *why = "screen " + look.screen + " not shown: " + (m_page ? seen : std::string("no page in a frame"));
    return found;
}

bool JourneyRunner::WaitForDocument(const std::string& url, DWORD timeout)
{
    const std::string wanted = " DocumentComplete " + url + "\n";
    const std::string pid = std::to_string(m_pid) + " ";
    return Poll(timeout, [&] {
        const std::string events = ReadWholeFile(m_recordFolder + "\\events.txt");
        for (size_t at = m_eventsSeen; at < events.size();) {
            const size_t end = events.find('\n', at);
            if (end == std::string::npos)
                break;
            const std::string line = events.substr(at, end + 1 - at);
            at = end + 1;
            if (line.compare(0, pid.size(), pid) == 0 && line.size() > wanted.size() &&
                line.compare(line.size() - wanted.size(), wanted.size(), wanted) == 0)
                return true;
        }
        return false;
    });
}

bool JourneyRunner::TakePicture(std::string* why)
{
    if (m_options.picturesFolder.empty())
        return true;
    if (!m_frame || !IsWindow(m_frame)) {
        *why = "no frame to picture";
        return false;
    }
    // The number of the latest document the program's browser finished.
    std::string document = "-";
    const std::string events = ReadWholeFile(m_recordFolder + "\\events.txt");
    const std::string pid = std::to_string(m_pid) + " ";
    for (size_t at = 0; at < events.size();) {
        size_t end = events.find('\n', at);
        if (end == std::string::npos)
            end = events.size();
        const std::string line = events.substr(at, end - at);
        at = end + 1;
        if (line.compare(0, pid.size(), pid) == 0 && line.find(" DocumentComplete ") == pid.size() + 4)
            document = line.substr(pid.size(), 4) == "0000" ? "-" : std::to_string(m_pid) + "-" + line.substr(pid.size(), 4);
    }
    RECT frame, browser = {};
    GetWindowRect(m_frame, &frame);
    // The core library's pages hold their browser as one control, the main program's own pages
    // as another, whose number a core page may give to a button.
    for (const char* browserName : {"IDC_WEBBROWSER", "IDC_MAIN_WEBBROWSER"}) {
        HWND control = m_page ? GetDlgItem(m_page, ControlId(m_names, browserName)) : nullptr;
        char className[64] = {};
        if (control && GetClassNameA(control, className, sizeof className) &&
            lstrcmpiA(className, kWebBrowserClassName) == 0) {
            GetWindowRect(control, &browser);
            break;
        }
    }
    if (browser.right > browser.left)
        OffsetRect(&browser, -frame.left, -frame.top);

    ++m_pictures;
    char name[32];
    std::snprintf(name, sizeof name, "%02d-frame.png", m_pictures);
    const std::string png = FakeServer::UnixPath(m_options.picturesFolder + "\\" + name);
    const std::string partial = png + ".part.png";
    char geometry[64];
    std::snprintf(geometry, sizeof geometry, "%ldx%ld+%ld+%ld", frame.right - frame.left, frame.bottom - frame.top,
                  frame.left, frame.top);
    // Wine starts Linux programs but gives no process to wait for: the renamed file is the signal.
    std::string command = "Z:\\bin\\sh -c \"import -window root -crop " + std::string(geometry) + " +repage '" + partial +
                          "' && mv '" + partial + "' '" + png + "'\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        *why = "cannot start ImageMagick's import";
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string windowsPng = m_options.picturesFolder + "\\" + name;
    if (!Poll(30000, [&] { return GetFileAttributesA(windowsPng.c_str()) != INVALID_FILE_ATTRIBUTES; })) {
        *why = "import wrote no picture";
        return false;
    }

    std::string id = m_screen;
    for (char& c : id)
        if (c == '-')
            c = '_';
    const StartPageChoice choice = ChooseStartPage(id.c_str());
    const std::string pageClass = choice.kind == StartPageChoice::CorePage && choice.name ? choice.name : "-";
    char line[512];
    std::snprintf(line, sizeof line, "%d\t%s\t%s\t%s\t%s\t%ld %ld %ld %ld\t%ld %ld %ld %ld\t%s\n", m_pictures,
                  m_screen.c_str(), pageClass.c_str(), StepLettersOf(pageClass).c_str(), document.c_str(),
                  frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, browser.left, browser.top,
                  browser.right - browser.left, browser.bottom - browser.top, name);
    AppendBytes(m_options.picturesFolder + "\\pictures.txt", line);
    return true;
}

std::string JourneyRunner::ItemPath(const std::string& item, const std::string& path) const
{
    if (item == "download.tmp")
        return m_options.runFolder + "\\download.tmp";
    return Expanded(path);
}

bool JourneyRunner::ItemExists(const std::string& item, const std::string& path) const
{
    if (item == "runonce") {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        const bool exists = RegQueryValueExA(key, CTextDef::GetText("COMMON_NAME_AUTORUN"), nullptr, nullptr, nullptr,
                                             nullptr) == ERROR_SUCCESS;
        RegCloseKey(key);
        return exists;
    }
    if (item == "product")
        return ProductClassRegistered();
    if (item == "uninstall") {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + path).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    return GetFileAttributesA(ItemPath(item, path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string JourneyRunner::DocumentPath(int number) const
{
    char name[64];
    std::snprintf(name, sizeof name, "\\%lu-%04d.html", m_pid, number);
    return m_recordFolder + name;
}

std::string JourneyRunner::SentSerialIds(const std::string& id)
{
    const std::vector<std::string> ids = SplitAtCommas(m_server.OrdersIds());
    std::string serials;
    bool first = true;
    for (size_t n = m_ordersSeen; n < ids.size(); ++n) {
        if (ids[n] != id)
            continue;
        const std::string serial = m_server.OrdersField("SerialID", int(n));
        serials += (first ? "" : ",") + (serial.empty() ? std::string("-") : serial);
        first = false;
    }
    return serials;
}

int JourneyRunner::LatestDocument() const
{
    // The browser double numbers a process's documents from 1 without gaps.
    int number = m_documentsSeen;
    while (GetFileAttributesA(DocumentPath(number + 1).c_str()) != INVALID_FILE_ATTRIBUTES)
        ++number;
    return number;
}

void JourneyRunner::MarkAction()
{
    m_documentsSeen = m_process ? LatestDocument() : 0;
}

void JourneyRunner::EndProgram()
{
    if (!m_process)
        return;
    if (WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 30000);
    }
    CloseHandle(m_process);
    m_process = nullptr;
    m_frame = m_page = nullptr;
}

bool JourneyRunner::RunStep(const JourneyStep& step, std::string* why)
{
    const std::string& verb = step.verb;
    const std::vector<std::string>& f = step.fields;
    const std::string second = f.size() > 1 ? f[1] : std::string();

    if (verb == "plant") {
        if (f[0] == "runonce") {
            HKEY key = nullptr;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
                ERROR_SUCCESS)
                return *why = "cannot open RunOnce", false;
            static const char kValue[] = "kavocomp.exe";
            RegSetValueExA(key, CTextDef::GetText("COMMON_NAME_AUTORUN"), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(kValue), sizeof kValue);
            RegCloseKey(key);
        } else if (f[0] == "uninstall") {
            // The check counts an entry only when it shows a display name.
            HKEY key = nullptr;
            if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + second).c_str(), 0, nullptr, 0,
                                KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
                return *why = "cannot create the uninstall entry", false;
            RegSetValueExA(key, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(second.c_str()),
                           DWORD(second.size() + 1));
            RegCloseKey(key);
            m_plantedUninstall.push_back(second);
        } else if (f[0] == "product") {
            m_productClassTouched = true;
            if (!RegisterProductClass(m_options.binFolder + "\\KavoFakeProduct.dll"))
                return *why = "cannot register the product's class", false;
        } else if (f[0] == "folder") {
            SHCreateDirectoryExA(nullptr, ItemPath(f[0], second).c_str(), nullptr);
            WriteWholeFile(ItemPath(f[0], second) + "\\planted.txt", "journey");
        } else {
            WriteWholeFile(ItemPath(f[0], second), "journey");
        }
        if (!ItemExists(f[0], second))
            return *why = "could not plant it", false;
        return true;
    }
    if (verb == "unplant") {
        if (f[0] == "runonce") {
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                RegDeleteValueA(key, CTextDef::GetText("COMMON_NAME_AUTORUN"));
                RegCloseKey(key);
            }
        } else if (f[0] == "uninstall") {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + second).c_str());
        } else if (f[0] == "product") {
            UnregisterProductClass();
        } else if (f[0] == "folder") {
            EmptyFolder(ItemPath(f[0], second));
            RemoveDirectoryA(ItemPath(f[0], second).c_str());
        } else {
            DeleteFileA(ItemPath(f[0], second).c_str());
        }
        if (ItemExists(f[0], second))
            return *why = "could not take it away", false;
        return true;
    }
    if (verb == "env")
        return SetEnvironmentValue(f[0], second, why);
    if (verb == "define")
        return Define(f[0], second, why);
    if (verb == "installer")
        return ServeInstaller(f[0], second, why);
    if (verb == "spawn")
        return Spawn(f[0], second, why);
    if (verb == "windows")
        return SetWindowsVersion(f[0], second, why);
    if (verb == "start") {
        EndProgram();
        const std::string program = m_options.runFolder + "\\" + f[0];
        std::string commandLine = "\"" + program + "\" " + second;
        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            m_options.runFolder.c_str(), &startup, &process))
            return *why = "cannot start " + program, false;
        CloseHandle(process.hThread);
        m_process = process.hProcess;
        m_pid = process.dwProcessId;
        m_eventsSeen = 0;
        m_documentsSeen = 0;
        m_ordersSeen = SplitAtCommas(m_server.OrdersIds()).size();
        std::printf("     process %lu\n", m_pid);
        return true;
    }
    if (verb == "follow") {
        if (m_process)
            return *why = "the program shown still runs (exit first)", false;
        const std::string program = m_options.runFolder + "\\" + f[0];
        DWORD pid = 0;
        HANDLE process = nullptr;
        if (!Poll(30000, [&] { return (process = OpenProcessOf(program, m_pid, &pid)) != nullptr; }))
            return *why = "no other process of " + program, false;
        m_process = process;
        m_pid = pid;
        m_eventsSeen = 0;
        m_documentsSeen = 0;
        m_ordersSeen = SplitAtCommas(m_server.OrdersIds()).size();
        std::printf("     process %lu\n", m_pid);
        return true;
    }
    if (verb == "page") {
        const ScreenLook* look = FindScreen(m_screens, f[0]);
        if (!look)
            return *why = "screens.txt has no screen " + f[0], false;
        if (!WaitForScreen(*look, 30000, why))
            return false;
        m_screen = f[0];
        // The page's browser has finished its first document before the picture.
        WaitForDocument("about:blank", 5000);
        Sleep(300);
        return TakePicture(why);
    }
    if (verb == "text" || verb == "enabled" || verb == "checked" || verb == "shown") {
        HWND control = Control(f[0], why);
        if (!control)
            return false;
        std::string seen;
        const bool held = Poll(5000, [&] {
            if (verb == "text") {
                seen = WindowText(control);
                return seen == Text(second);
            }
            DWORD_PTR state = 0;
            if (verb == "enabled")
                state = IsWindowEnabled(control) ? 1 : 0;
            else if (verb == "shown")
                state = IsWindowVisible(control) ? 1 : 0;
            else
                SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
            seen = state == BST_CHECKED ? "1" : "0";
            return seen == second;
        });
        if (!held)
            *why = f[0] + " is \"" + seen + "\"";
        return held;
    }
    if (verb == "type") {
        HWND control = Control(f[0], why);
        if (!control)
            return false;
        const std::string text = Text(second);
        MarkAction();
        DWORD_PTR done = 0;
        if (!SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                                 &done) ||
            !done)
            return *why = "WM_SETTEXT refused", false;
        return true;
    }
    if (verb == "click") {
        HWND control = Control(f[0], why);
        if (!control)
            return false;
        MarkAction();
        if (!PostMessageA(control, BM_CLICK, 0, 0))
            return *why = "cannot post BM_CLICK", false;
        return true;
    }
    if (verb == "answer") {
        const std::string wanted = Text(second);
        HWND box = nullptr;
        std::string seen;
        const bool found = Poll(15000, [&] {
            box = TopLevelOf(m_pid, "#32770");
            if (!box)
                return false;
            HWND message = GetDlgItem(box, 0xFFFF);
            seen = message ? WindowText(message) : std::string();
            return seen == wanted;
        });
        if (!found)
            return *why = box ? "the box says \"" + seen + "\"" : std::string("no message box"), false;
        MarkAction();
        PostMessageA(box, WM_COMMAND, WPARAM(ButtonId(f[0])), 0);
        return true;
    }
    if (verb == "html") {
        HWND control = Control(f[0], why);
        if (!control)
            return false;
        HWND shell = FindWindowExA(control, nullptr, "Shell Embedding", nullptr);
        if (!shell)
            return *why = f[0] + " holds no browser window", false;
        m_eventsSeen = ReadWholeFile(m_recordFolder + "\\events.txt").size();
        MarkAction();
        if (!scripted::SendCommand(shell, Text(second).c_str()))
            return *why = "the browser refused \"" + Text(second) + "\"", false;
        return true;
    }
    if (verb == "document") {
        if (!WaitForDocument(Text(f[0]), 15000))
            return *why = "no DocumentComplete of " + Text(f[0]) + " in the record", false;
        return true;
    }
    if (verb == "request") {
        std::string seen;
        const std::string expected = Text(second);
        const bool held = Poll(5000, [&] {
            seen = m_server.Last(f[0], "query");
            return seen == expected;
        });
        if (!held)
            *why = "the last query was \"" + seen + "\"";
        return held;
    }
    if (verb == "orders") {
        if (!m_server.OrdersModel(MembersOf(f[0])))
            return *why = "the fake order system did not take the model", false;
        return true;
    }
    if (verb == "script") {
        if (!m_server.OrdersScript(f[0], MembersOf(second)))
            return *why = "the fake order system did not take the answer", false;
        return true;
    }
    if (verb == "sent") {
        std::string seen;
        const bool held = Poll(5000, [&] {
            seen = SentSerialIds(f[0]);
            return seen == Text(second);
        });
        if (!held)
            *why = "the requests " + f[0] + " sent \"" + seen + "\"";
        return held;
    }
    if (verb == "written") {
        HWND control = Control(f[0], why);
        if (!control)
            return false;
        if (!FindWindowExA(control, nullptr, "Shell Embedding", nullptr))
            return *why = f[0] + " holds no browser window", false;
        const std::string wanted = Text(second);
        int latest = 0;
        const bool found = Poll(15000, [&] {
            latest = LatestDocument();
            for (int number = m_documentsSeen + 1; number <= latest; ++number)
                if (ReadWholeFile(DocumentPath(number)).find(wanted) != std::string::npos)
                    return true;
            return false;
        });
        if (!found)
            *why = "none of the " + std::to_string(latest - m_documentsSeen) +
                   " document(s) written since the last action holds that text";
        return found;
    }
    if (verb == "picture")
        return TakePicture(why);
    if (verb == "close") {
        MarkAction();
        if (!m_frame || !PostMessageA(m_frame, WM_SYSCOMMAND, SC_CLOSE, 0))
            return *why = "no frame to close", false;
        return true;
    }
    if (verb == "endsession")
        return EndSession(why);
    if (verb == "minimised") {
        // What minimises the frame may be a long action's end, such as an installation's.
        std::string seen;
        const bool held = Poll(60000, [&] {
            seen = m_frame && IsWindow(m_frame) ? (IsIconic(m_frame) ? "1" : "0") : "no frame";
            return seen == f[0];
        });
        if (!held)
            *why = "the frame is " + (seen == "1" ? std::string("minimised") : seen == "0" ? "not minimised" : seen);
        return held;
    }
    if (verb == "runonce") {
        const std::string expected = CompanionCommand(Text(f[0]));
        std::string seen;
        const bool held = Poll(5000, [&] {
            seen = RunOnceValue(std::string(CTextDef::GetText("COMMON_NAME_AUTORUN")));
            return seen == expected;
        });
        if (!held)
            *why = "the RunOnce value is \"" + seen + "\", not \"" + expected + "\"";
        return held;
    }
    if (verb == "exit") {
        if (!m_process)
            return *why = "no program started", false;
        if (WaitForSingleObject(m_process, f[0] == "any" ? INFINITE : 60000) != WAIT_OBJECT_0)
            return *why = "the program did not end", false;
        DWORD code = 0;
        GetExitCodeProcess(m_process, &code);
        CloseHandle(m_process);
        m_process = nullptr;
        m_frame = m_page = nullptr;
        std::printf("     exit value: %ld (0x%08lX); download.tmp %s, RunOnce value %s\n", long(code), code,
                    ItemExists("download.tmp", "") ? "kept" : "absent", ItemExists("runonce", "") ? "kept" : "absent");
        if (f[0] != "any" && std::to_string(code) != f[0])
            return *why = "exit value " + std::to_string(code), false;
        return true;
    }
    if (verb == "removed" || verb == "kept") {
        const bool exists = ItemExists(f[0], second);
        if (exists != (verb == "kept"))
            return *why = f[0] + " " + second + (exists ? " is still there" : " is gone"), false;
        return true;
    }
    return *why = "no such verb", false;
}

bool JourneyRunner::SetEnvironmentValue(const std::string& name, const std::string& value, std::string* why)
{
    const std::string text = Text(value);
    // The fake setup registers the product's class when told where its object is.
    if (name == "KAVO_FAKE_SETUP_REGISTER_DLL" && !text.empty())
        m_productClassTouched = true;
    // A status an earlier run's setup left would read as this run's outcome.
    if (name == "KAVO_FAKE_SETUP_RUNONCE" && !text.empty())
        m_setupRunOnce.push_back(text);
    if (name == "KAVO_FAKE_SETUP_STATUS_KEY") {
        DeleteStatusValue(m_setupStatusValue);
        m_setupStatusValue = text;
        DeleteStatusValue(text);
    }
    if (!SetEnvironmentVariableA(name.c_str(), text.empty() ? nullptr : text.c_str()) && !text.empty())
        return *why = "cannot set " + name, false;
    return true;
}

bool JourneyRunner::Define(const std::string& key, const std::string& text, std::string* why)
{
    const std::string path = m_options.runFolder + "\\text.def";
    std::string definition = ReadWholeFile(path);
    if (definition.empty())
        return *why = "the run folder has no text.def", false;
    SetDefinitionText(definition, key, Text(text));
    if (!WriteWholeFile(path, definition))
        return *why = "cannot write " + path, false;
    // def:KEY in later steps means the text the program now reads.
    CTextDef::SetText(key.c_str(), Text(text).c_str());
    return true;
}

bool JourneyRunner::ServeInstaller(const std::string& variant, const std::string& setupName, std::string* why)
{
    const std::string signedFolder = m_options.binFolder + "\\signed";
    const std::string root = ReadWholeFile(signedFolder + "\\root.der");
    if (root.empty())
        return *why = "no test root in " + signedFolder + " (build kavo_signed_packages)", false;
    // The prefix trusts the test root as a machine trusts the vendor's.
    HCERTSTORE store = CertOpenSystemStoreA(0, "ROOT");
    const BOOL trusted = store && CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING,
                                                                    reinterpret_cast<const BYTE*>(root.data()),
                                                                    DWORD(root.size()), CERT_STORE_ADD_USE_EXISTING, nullptr);
    if (store)
        CertCloseStore(store, 0);
    if (!trusted)
        return *why = "cannot trust the test root", false;

    const std::string served = m_options.runFolder + "\\served";
    const std::string folder = served + "\\" + kInstallerFolder;
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    const std::string package = signedFolder + "\\package-" + variant + ".exe";
    for (const char* name : kInstallerNames)
        if (!CopyFileA(package.c_str(), (folder + "\\" + name).c_str(), FALSE))
            return *why = "cannot copy " + package, false;
    // The product object the fake setup registers, beside the programs of the run.
    if (!CopyFileA((m_options.binFolder + "\\KavoFakeProduct.dll").c_str(),
                   (m_options.runFolder + "\\KavoFakeProduct.dll").c_str(), FALSE))
        return *why = "cannot copy the fake product object", false;
    // What the package unpacks: the fake setup under the name the definitions start it by.
    if (!setupName.empty()) {
        const std::string contents = m_options.runFolder + "\\package";
        SHCreateDirectoryExA(nullptr, contents.c_str(), nullptr);
        if (!CopyFileA((m_options.binFolder + "\\kavo_fake_setup.exe").c_str(), (contents + "\\" + setupName).c_str(),
                       FALSE))
            return *why = "cannot copy the fake setup into " + contents, false;
    }
    if (!m_installerServed && !m_server.AddFixtures(FakeServer::UnixPath(served)))
        return *why = "the fake server did not take " + served, false;
    m_installerServed = true;
    return true;
}

bool JourneyRunner::Spawn(const std::string& program, const std::string& arguments, std::string* why)
{
    std::string path = Expanded(Text(program));
    if (PathIsRelativeA(path.c_str()))
        path = m_options.runFolder + "\\" + path;
    std::string commandLine = "\"" + path + "\"";
    if (!arguments.empty())
        commandLine += " " + Text(arguments);
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, m_options.runFolder.c_str(),
                        &startup, &process))
        return *why = "cannot start " + path, false;
    CloseHandle(process.hThread);
    m_spawned.push_back(process.hProcess);
    std::printf("     process %lu beside it\n", process.dwProcessId);
    return true;
}

bool JourneyRunner::SetWindowsVersion(const std::string& program, const std::string& version, std::string* why)
{
    if (version == "default") {
        ForgetWindowsVersion(program);
        return true;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (kWineAppDefaultsKey + program).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return *why = "cannot open Wine's settings of " + program, false;
    const LONG set = RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                                    DWORD(version.size() + 1));
    RegCloseKey(key);
    if (set != ERROR_SUCCESS)
        return *why = "cannot set Wine's Windows version of " + program, false;
    m_windowsVersions.push_back(program);
    return true;
}

bool JourneyRunner::EndSession(std::string* why)
{
    if (!m_process || !m_frame || !IsWindow(m_frame))
        return *why = "no frame to end the session of", false;
    MarkAction();
    // Windows asks every top-level window first; a window that answers FALSE holds the end up.
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(m_frame, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 15000, &answer))
        return *why = "WM_QUERYENDSESSION was not answered", false;
    if (answer != TRUE)
        return *why = "WM_QUERYENDSESSION was answered " + std::to_string(answer), false;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(m_frame, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 15000, &ignored);
    // Then the session ends the program whatever it does.
    EndProgram();
    return true;
}

std::string JourneyRunner::CompanionCommand(const std::string& arguments) const
{
    char command[MAX_PATH] = {};
    lstrcpynA(command, (m_options.runFolder + "\\kavocomp.exe").c_str(), MAX_PATH);
    PathQuoteSpacesA(command);
    return arguments.empty() ? std::string(command) : std::string(command) + " " + arguments;
}
