#include "ConnectionToolDetection.h"

#include <windows.h>

#include "BoundedText.h"
#include "ConnectionToolRegistry.h"
#include "ProbeSettings.h"

namespace {

constexpr const char kJaroProfile[] = "ルミオ・ニンブラル";
constexpr const char kKelmProfile[] = "ルミオ・スクウェア";

// A field that cannot hold the whole text stays empty: a cut command line would run
// something else.
template <size_t N>
void SetWhole(char (&field)[N], const CString& text)
{
    if (!CopyBounded(field, text))
        field[0] = '\0';
}

CString ProfileFilePath(const CString& toolPath)
{
    char fileName[MAX_PATH] = {};
    GetPrivateProfileStringA("INIFILE", "Filename", "", fileName, sizeof fileName,
                             toolPath + "\\app\\TangoManager.ini");
    if (!fileName[0])
        return CString();
    return toolPath + "/app/" + fileName;
}

}  // namespace

void DetectConnectionTool(PevlinState& state)
{
    state.toolKind = -1;
    state.toolRegion[0] = '\0';
    state.connectCommand[0] = '\0';
    state.toolProgramPath[0] = '\0';
    state.minimisedStartCommand[0] = '\0';
    state.profileName[0] = '\0';
    state.createProfileCommand[0] = '\0';
    state.profileFilePath[0] = '\0';

    const int versionKind = GetToolVersionKind();
    if (versionKind == 1 || versionKind == 2) {
        const int company = GetToolCompany();
        CString path;
        GetToolPath(path);
        if (!path.IsEmpty() && (company == 0 || company == 1)) {
            state.toolKind = versionKind;
            const CString program = path + "\\app\\TangoManager.exe";
            // Quoted: the tool usually lives below "Program Files".
            const CString quoted = "\"" + program + "\"";
            if (company == 0) {
                CopyBounded(state.toolRegion, "JARO");
                SetWhole(state.connectCommand, quoted + " -session=" + kJaroProfile + "]");
                SetWhole(state.toolProgramPath, program);
                SetWhole(state.minimisedStartCommand, quoted + " -min");
                CopyBounded(state.profileName, kJaroProfile);
                CString create;
                create.Format("%s -create profile -name %s -username \"%s\" -password \"%s\" "
                              "-routeserver \"http://%s/routing.html\"",
                              quoted.GetString(), kJaroProfile, kRouteServerAccount, kRouteServerPassword,
                              kRouteServerHost);
                SetWhole(state.createProfileCommand, create);
            } else {
                CopyBounded(state.toolRegion, "KELM");
                SetWhole(state.connectCommand, quoted + " -session=");
                CopyBounded(state.profileName, kKelmProfile);
            }
            SetWhole(state.profileFilePath, ProfileFilePath(path));
            return;
        }
    }
    if (HasOldConnectionTool())
        state.toolKind = 0;
}

void BuildSessionArgument(PevlinState& state)
{
    if (state.CompanyCode != "JARO" && state.CompanyCode != "KELM")
        return;
    const CString tail = CString(state.profileName) + "]";
    AppendBounded(state.connectCommand, tail);
}
