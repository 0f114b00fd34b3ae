#include "ExternalDefinitions.h"

#include <cstring>

#include "CAtlMap.h"
#include "CExtDef.h"
#include "CRegKey.h"
#include "CTextDef.h"
#include "CUrlShortcut.h"
#include "CodeSignature.h"
#include "ProgramFolder.h"
#include "UrlText.h"
#include "VersionText.h"

namespace {

const char* const kDefinitionFiles[] = {
    "COMMON_URI_EXTDEF_SECDEF",     "COMMON_URI_EXTDEF_SECVERSION", "COMMON_URI_EXTDEF_OEMLIST",
    "COMMON_URI_EXTDEF_CONTENTSDEF", "COMMON_URI_EXTDEF_SYSTEM",
};

const struct {
    const char* section;
    const char* key;
    const char* definitionKey;
} kAppliedEntries[] = {
    {"General", "UrlXG32Installer", "COMMON_URI_XG32INSTALLER"},
    {"General", "UrlXG64Installer", "COMMON_URI_XG64INSTALLER"},
    {"General", "OPS_PCINFO_STVER", "COMMON_CFG_OPS_PCINFO_STVER"},
    {"InstallationControl", "OEMPID", "COMMON_CT_PRODUCTID"},
    {"InstallationControl", "Version", "COMMON_CT_PRODUCTVERSION"},
    {"InstallationControl", "RegistryInstallStatusPath", "COMMON_REG_XGINSTALLSTATUS"},
    {"InstallationControl", "WindowTitle", "COMMON_WINDOW_TITLE"},
    {"InstallationControl", "WindowModule", "COMMON_WINDOW_MODULE"},
    {"InstallationControl", "SetupExeFileName", "COMMON_SETUP_EXE_FILE_NAME"},
    {"InstallationInformation", "DlpkOutputPath", "COMMON_DLPK_OUTPUT_PATH"},
    {"InstallationInformation", "OemIniFilePath", "COMMON_NAME_XGSETUPINIFILE"},
    {"InstallationInformation", "SetupExeFilePath", "COMMON_CMD_XGINSTALL"},
    {"InstallationInformation", "InstallCfgValidFilePath", "COMMON_DATA_XGSETUP_PREPARATION_VALID_FILE_PATH"},
    {"InstallationInformation", "InstallCfgFilePath", "COMMON_DATA_XGSETUP_PREPARATION_FILE_PATH"},
    {"StartMenu", "GuideLink", "COMMON_URL_LINK_GUIDE"},
    {"General", "COMMON_DATA_CONFLICT_EXCLUDE_LIST", "COMMON_DATA_CONFLICT_EXCLUDE_LIST"},
    {"B-N10", "PostInstallMsg", "POST_INSTALL_MESSAGE"},
};

const struct {
    const char* value;
    char letter;
} kDecisionLetters[] = {
    {"skip-upgrade", 'V'}, {"upgrade", 'v'}, {"migration-only", 'H'}, {"skip-migration", 'S'}, {"migration", 's'},
};

bool StartsWith(const CString& text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

char DecisionLetter(const CString& value)
{
    for (const auto& decision : kDecisionLetters)
        if (value == decision.value)
            return decision.letter;
    return '?';
}

// Removes the decision line "<letter>:<version>\r\n" that an earlier entry left for version.
void RemoveDecisionFor(CString& decisions, const CString& version)
{
    const CString ending = ":" + version + "\r\n";
    int lineStart = 0;
    while (lineStart < decisions.GetLength()) {
        const int newline = decisions.Find('\n', lineStart);
        const int lineEnd = newline >= 0 ? newline + 1 : decisions.GetLength();
        const CString line = decisions.Mid(lineStart, lineEnd - lineStart);
        if (line.GetLength() >= ending.GetLength() && line.Right(ending.GetLength()) == ending) {
            decisions.Delete(lineStart, lineEnd - lineStart);
            return;
        }
        lineStart = lineEnd;
    }
}

void ApplyUpgradeMigrationControl(const CExtDefSection& section)
{
    CString decisions;
    for (int i = 0; i < section.GetCount(); ++i) {
        const CExtDefEntry& entry = section[i];
        if (StartsWith(entry.key, "PreUpgradeMsg")) {
            // Normalised before the separators go, so PreUpgradeMsg5.01 names version 5_1.
            CString key = NormalizeVersionText(entry.key);
            key.Replace(',', '_');
            key.Replace('.', '_');
            key.Replace("PreUpgradeMsg", "PRE_UPGRADE_MESSAGE");
            ApplyDownloadedText(key, entry.value);
        } else if (StartsWith(entry.key, "PostUpgradeMsg")) {
            CTextDef::SetText("POST_UPGRADE_MESSAGE", entry.value);
        } else {
            CString version = NormalizeVersionText(entry.key);
            version.Replace(',', '_');
            RemoveDecisionFor(decisions, version);
            decisions.AppendChar(DecisionLetter(entry.value));
            decisions += ":" + version + "\r\n";
        }
    }
    CTextDef::SetText("COMMON_CT_PRODUCT_UPGRADE_AND_MIGRATE", decisions);
}

void ApplyMoney(const CExtDefSection& section)
{
    for (int i = 0; i < section.GetCount(); ++i) {
        if (!StartsWith(section[i].key, "tax"))
            continue;
        CString rate = NormalizeVersionText(section[i].value);
        rate.Trim();
        CTextDef::SetText("COMMON_NUM_TAXRATE", rate);
    }
}

void StoreDomain(const CString& domain)
{
    CRegKey key;
    if (key.Create(CTextDef::GetRegRoot("COMMON_REG_HKLM_KAVO"), CTextDef::GetRegPath("COMMON_REG_HKLM_KAVO"),
                   KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE) == ERROR_SUCCESS)
        key.SetStringValue("Domain", domain);
}

// The switch names a local file beside the host program that stands in for the downloads.
bool LoadLocalStandIn(CExtDef& store)
{
    if (!CTextDef::HasText("TWEAK_FILENAME_EXTDEF"))
        return false;
    const CString name = CTextDef::GetText("TWEAK_FILENAME_EXTDEF");
    return !name.IsEmpty() && store.LoadFile(GetProgramFolder() + "\\" + name);
}

}  // namespace

bool ApplyDownloadedText(const char* key, const char* value)
{
    // Whoever controls a download must not also choose whose signature makes it trusted.
    if (IsPublisherKey(key))
        return false;
    CTextDef::SetText(key, value);
    return true;
}

void JudgeDomain()
{
    if (CTextDef::GetDomainUrl().IsEmpty())
        CTextDef::SetDomainUrl(CTextDef::GetText("COMMON_INITCONF_URL"));

    CString answer;
    CAtlMap<CString, CString> judgement;
    if (!FetchUrlText(CTextDef::GetUrlText("COMMON_URI_DOMAIN_JUDGE"), answer) ||
        !CTextDef::ParseDownloadedText(answer, &judgement)) {
        CTextDef::SetDomainUrl("");
        return;
    }
    CString domain;
    judgement.Lookup(CString("Domain"), domain);
    if (!domain.IsEmpty())
        StoreDomain(domain);
    CTextDef::SetDomainUrl(domain);
}

void ApplyExternalDefinitions()
{
    CExtDef& store = GetExtDef();
    CTextDef::SetText("PRE_UPGRADE_MESSAGE", "");
    CTextDef::SetText("POST_UPGRADE_MESSAGE", "");
    CTextDef::SetText("POST_INSTALL_MESSAGE", "");

    for (const auto& applied : kAppliedEntries) {
        CExtDefSection& section = store.GetSection(applied.section);
        const CExtDefEntry* entry = section.Find(applied.key);
        if (!entry) {
            section.Add(applied.key, "");
            entry = section.Find(applied.key);
        }
        ApplyDownloadedText(applied.definitionKey, entry->value);
    }

    ApplyUpgradeMigrationControl(store.GetSection("UpgradeMigrationControl"));
    ApplyMoney(store.GetSection("Money"));
}

int LoadExternalDefinitions()
{
    CExtDef& store = GetExtDef();
    if (store.HasEntries())
        return 1;

    JudgeDomain();
    // The local stand-in needs no content server, so a failed judgement does not stop it.
    if (!LoadLocalStandIn(store)) {
        // Without a domain no content-server address is usable: the definitions are not available.
        if (CTextDef::GetDomainUrl().IsEmpty())
            return 0;
        for (const char* file : kDefinitionFiles) {
            if (!store.LoadUrl(CTextDef::GetUrlText(file))) {
                store.Clear();
                return 0;
            }
        }
    }

    ApplyExternalDefinitions();

    const CString shortcut = CTextDef::GetText("COMMON_URL_START_MNUE");
    const CString guide = CTextDef::GetUrlText("COMMON_URL_LINK_GUIDE");
    if (!shortcut.IsEmpty() && !guide.IsEmpty())
        CUrlShortcut::Create(shortcut, guide);
    return 1;
}
