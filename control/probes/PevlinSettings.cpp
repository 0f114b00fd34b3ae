#include "PevlinSettings.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "ProbeSettings.h"
#include "TextSearch.h"

CPevlinSettings::CPevlinSettings() : m_path(DefaultPath()) {}

CString CPevlinSettings::DefaultPath()
{
    char module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    CString folder(module, length < MAX_PATH ? int(length) : 0);
    const int slash = folder.ReverseFind('\\');
    folder = slash < 0 ? CString() : folder.Left(slash + 1);
    return folder + "Axpevlin.ini";
}

CString CPevlinSettings::Read(const char* section, const char* key, const char* fallback, int size) const
{
    std::vector<char> buffer(size_t(size), '\0');
    GetPrivateProfileStringA(section, key, fallback, buffer.data(), DWORD(size), m_path);
    return CString(buffer.data());
}

int CPevlinSettings::CheckRetryNumber() const
{
    return std::atoi(Read("ExecuteVELDIN", "checkRetryNumber", "2", 256));
}

CString CPevlinSettings::IPv6Address() const
{
    return Read("ExecuteVELDIN", "IPv6Address", "2001:a", 256);
}

CString CPevlinSettings::PppoeUserId() const
{
    return Read("ExecuteVELDIN", "pppoe_userid", kDefaultPppoeUser, 128);
}

CString CPevlinSettings::PppoePassword() const
{
    return Read("ExecuteVELDIN", "pppoe_passwd", kDefaultPppoePassword, 128);
}

bool CPevlinSettings::VistaCloseWin() const
{
    return FindText(Read("COMMON", "VistaCloseWin", "true", 256), "true") != nullptr;
}
