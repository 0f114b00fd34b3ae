#include "NormalSequence.h"

#include <shlwapi.h>

#include <cstring>

#include "CachedValues.h"
#include "CCheckRequirement.h"
#include "CFeeCalc.h"
#include "CMotdFetcher.h"
#include "COpsRequest.h"
#include "CPageContext.h"
#include "CRegKey.h"
#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "ExternalDefinitions.h"
#include "InstallState.h"
#include "LoginParams.h"
#include "pages/CCheckComputerDialog.h"
#include "pages/CErrorDialog.h"
#include "pages/CLoginDialog.h"
#include "pages/CMotdDialog.h"
#include "pages/CPreUpgradeDialog.h"
#include "pages/CRegClientDialog.h"
#include "pages/CStatusDialog.h"

namespace {

// Writes every listed definition value into the open cache key, which the companion program
// reads back after the restart.
void WriteDefinitionCache(CRegKey& cache)
{
    if (!OpenCachedValuesKey(cache, true))
        return;
    const CSimpleArray<CString> names = CachedValueNames();
    for (int i = 0; i < names.GetSize(); ++i)
        cache.SetStringValue(names[i], CTextDef::GetText(names[i]));
}

// The clean-up later deletes this folder with everything in it: a path cut at the field's
// size could name a parent or another folder, so a path that does not fit is not taken.
void SetCleanupFolder(CPageContext* ctx)
{
    const CString folder = CTextDef::GetText("COMMON_DLPK_OUTPUT_PATH");
    ctx->cleanupFolder[0] = '\0';
    if (folder.GetLength() > MAX_PATH) {
        CString line;
        line.Format("COMMON_DLPK_OUTPUT_PATH is %d bytes, longer than %d: no folder to clean up", folder.GetLength(),
                    MAX_PATH);
        ctx->traceLog.WriteLine(line);
        return;
    }
    std::memcpy(ctx->cleanupFolder, folder.GetString(), size_t(folder.GetLength()) + 1);
}

// The product to compare with the upgrade and migration table: the simulated one when the
// switch is on, else the installed one. False when nothing is installed.
bool GetProductToCompare(CString& id, CString& version)
{
    if (CTextDef::HasText("TWEAK_SIMULATE_CLIENTTOOLUPGRADE")) {
        const CString text = CTextDef::GetText("TWEAK_SIMULATE_CLIENTTOOLUPGRADE");
        const int separator = text.Find('_');
        id = separator < 0 ? text : text.Left(separator);
        version = separator < 0 ? CString() : text.Mid(separator + 1);
        return true;
    }
    return GetInstalledProductInfo(id, version) != FALSE;
}

// The five keys a table entry may name, the most specific first.
void FormCandidateKeys(const CString& id, const CString& version, CString (&keys)[5])
{
    int numbers[4] = {0, 0, 0, 0};
    int position = 0;
    for (int& number : numbers) {
        if (position < 0 || position > version.GetLength())
            break;
        const int dot = version.Find('.', position);
        const CString part = dot < 0 ? version.Mid(position) : version.Mid(position, dot - position);
        number = StrToIntA(part);
        position = dot < 0 ? -1 : dot + 1;
    }
    keys[0].Format("%s_%d.%d.%d.%d", id.GetString(), numbers[0], numbers[1], numbers[2], numbers[3]);
    keys[1].Format("%s_%d.%d.%d", id.GetString(), numbers[0], numbers[1], numbers[2]);
    keys[2].Format("%s_%d.%d", id.GetString(), numbers[0], numbers[1]);
    keys[3].Format("%s_%d", id.GetString(), numbers[0]);
    keys[4] = id;
}

struct MigrationEntry {
    CString flag;
    CString key;
};

// The table's entries that take part, in table order: KEY, or FLAG:KEY with one of the five
// flags.
CSimpleArray<MigrationEntry> ReadMigrationTable()
{
    CSimpleArray<MigrationEntry> entries;
    const CString table = CTextDef::GetText("COMMON_CT_PRODUCT_UPGRADE_AND_MIGRATE");
    int position = 0;
    for (;;) {
        const CString token = table.Tokenize(" \r\n\t,;/", position);
        if (position < 0)
            break;
        MigrationEntry entry;
        const int colon = token.Find(':');
        if (colon < 0) {
            entry.key = token;
        } else {
            entry.flag = token.Left(colon);
            entry.key = token.Mid(colon + 1);
            if (!std::strstr("/V/v/H/S/s/", "/" + entry.flag + "/"))
                continue;
        }
        entries.Add(entry);
    }
    return entries;
}

// The tool-upgrade page when the product's entry asks for it, else null (the run goes on to
// the sign-in).
CWBDialog* CheckUpgradeAndMigration(CPageContext* ctx, const CString& id, const CString& version)
{
    CString candidates[5];
    FormCandidateKeys(id, version, candidates);
    ctx->SetValue("CT_EXISTS", candidates[0]);
    const CSimpleArray<MigrationEntry> entries = ReadMigrationTable();
    for (const CString& candidate : candidates) {
        for (int i = 0; i < entries.GetSize(); ++i) {
            if (entries[i].key.CompareNoCase(candidate) != 0)
                continue;
            ctx->SetValue("MIGRATION_TYPE", entries[i].flag);
            if (entries[i].flag == "V" || entries[i].flag == "v")
                return new CPreUpgradeDialog;
            return nullptr;
        }
    }
    return nullptr;
}

// Run mode 3: the host brought the customer id and access key, so the sign-in page is
// passed over.
CWBDialog* SignInAtOnce(CPageContext* ctx)
{
    COpsRequest request;
    // A failed exchange leaves its error code for the error page.
    if (request.Run("1001", ctx, TRUE) < 0)
        return new CErrorDialog;
    const CString& result = ctx->response.ResultCode;
    if (result == "0000") {
        SaveLoginParams(ctx->customer.VeldinCommonID, ctx->customer.AccessKey);
        if (SendPcInfoReport(ctx, 0) < 0)
            return new CErrorDialog;
        return RunAfterLoginStep(ctx);
    }
    if (result == "9991" || result == "0002") {
        ctx->SetValue("CLoginDialog::InitialState", "ERROR");
        return RunNoticeStep(ctx);
    }
    return new CErrorDialog;
}

bool RequirementsFallShort(const CPageContext* ctx)
{
    const LONG* results = ctx->requirementResults;
    return results[REQ_OS] < REQ_RESULT_MET || results[REQ_IE] == REQ_RESULT_NOT_MET ||
           results[REQ_HDD] < REQ_RESULT_WARNING || results[REQ_APP] != REQ_RESULT_MET;
}

void RunRequirementCheck(CPageContext* ctx)
{
    ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    CCheckRequirement().Run(nullptr, ctx);
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
}

}  // namespace

CWBDialog* RunNormalSequence(CPageContext* ctx)
{
    if (!ctx)
        return nullptr;
    if (!LoadExternalDefinitions() || !LoadOsDefinitions()) {
        ctx->errorCode = "EXG8001";
        return new CErrorDialog;
    }
    CRegKey cache;
    WriteDefinitionCache(cache);
    SetCleanupFolder(ctx);
    CString id;
    CString version;
    if (GetProductToCompare(id, version)) {
        if (CWBDialog* upgrade = CheckUpgradeAndMigration(ctx, id, version))
            return upgrade;
    }
    if (ctx->runMode == RUNMODE_OSA2)
        return SignInAtOnce(ctx);
    return RunNoticeStep(ctx);
}

CWBDialog* RunNoticeStep(CPageContext* ctx)
{
    if (!ctx)
        return nullptr;
    CMotdFetcher notice;
    notice.Start(nullptr, TRUE);
    const int status = notice.GetOpsStatus();
    if (status <= 0)
        return new CLoginDialog;
    CString statusText;
    statusText.Format("%d", status);
    ctx->SetValue("OPS_MOTD", notice.GetBody());
    ctx->SetValue("OPS_STATUS", statusText);
    return new CMotdDialog;
}

CWBDialog* RunAfterLoginStep(CPageContext* ctx)
{
    if (!ctx)
        return nullptr;
    int activeAgreements = 0;
    for (int i = 0; i < ctx->response.agreements.GetSize(); ++i)
        if (StrToIntA(ctx->response.agreements[i].SecurityStatus) > 0)
            ++activeAgreements;
    int usedSerials = 0;
    for (int i = 0; i < ctx->response.serials.GetSize(); ++i)
        if (ctx->response.serials[i].SerialStatus > 1)
            ++usedSerials;
    if (activeAgreements > 0 && usedSerials > 0)
        return new CStatusDialog;

    CFeeCalc& fees = GetFeeCalc();
    FeeCalcReadyState state = fees.GetReadyState(nullptr);
    if (state == FEECALC_NOT_LOADED) {
        const CString url = CTextDef::GetUrlText("COMMON_URI_FEETABLE");
        state = fees.StartLoad(url, FALSE);
    }
    if (state != FEECALC_READY) {
        ctx->errorCode = "EXG4001";
        return new CErrorDialog;
    }
    if (!CTextDef::HasText("TWEAK_SKIP_SRCHK")) {
        RunRequirementCheck(ctx);
        if (!CTextDef::HasText("TWEAK_IGNORE_SRCHK_ERR") && RequirementsFallShort(ctx))
            return new CCheckComputerDialog;
    }
    ctx->phase = "LPCsif";
    ctx->SetValue("AN08_ORDER", "新規契約");
    if (activeAgreements > 0)
        return new CRegClientDialog;
    return new CStatusDialog;
}
