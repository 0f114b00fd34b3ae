#include "CCheckRequirement.h"


#include "CAtlException.h"
#include "CHandle.h"
#include "CSystemRequirements.h"
#include "CTextDef.h"
#include "InstalledSoftware.h"
#include "ThreadStart.h"
#include "UrlText.h"

namespace {

struct ExcludePair {
    CString key;
    CString displayName;
};

void Append(CSimpleArray<CString>& list, const CString& text)
{
    if (!list.Add(text))
        AtlThrow(E_OUTOFMEMORY);
}

// The pieces between CR and LF characters; empty pieces are skipped, none is trimmed.
CSimpleArray<CString> SplitLines(const CString& text)
{
    CSimpleArray<CString> lines;
    for (int pos = 0; pos >= 0;) {
        const CString line = text.Tokenize("\r\n", pos);
        if (!line.IsEmpty())
            Append(lines, line);
    }
    return lines;
}

// Lines "key<TAB>display name"; without a display name the key stands for it.
CSimpleArray<ExcludePair> ParseExcludeList(const CString& text)
{
    CSimpleArray<ExcludePair> pairs;
    const CSimpleArray<CString> lines = SplitLines(text);
    for (int i = 0; i < lines.GetSize(); ++i) {
        int pos = 0;
        const CString key = lines[i].Tokenize("\t", pos);
        if (key.IsEmpty())
            continue;
        CString displayName = pos >= 0 ? lines[i].Tokenize("\t", pos) : CString();
        if (displayName.IsEmpty())
            displayName = key;
        if (!pairs.Add(ExcludePair{key, displayName}))
            AtlThrow(E_OUTOFMEMORY);
    }
    return pairs;
}

LONG Result(LONG probed, const char* skipSwitch)
{
    return CTextDef::HasText(skipSwitch) ? REQ_RESULT_MET : probed;
}

}  // namespace

CCheckRequirement::CCheckRequirement(const SystemApiTable* api) : CCheckEnv(api) {}

int CCheckRequirement::Run(HWND, CPageContext* ctx)
{
    m_counters[0] = m_counters[1] = m_counters[2] = 0;
    m_context = ctx;
    if (!ctx)
        return 0;
    CHandle thread(StartThread(&CheckRequirementThreadProc, this));
    if (thread)
        WaitForSingleObject(thread, INFINITE);
    else
        SetAllFailed();  // a check that never ran must not pass for one that did
    for (LONG result : ctx->requirementResults)
        if (result >= REQ_RESULT_NOT_MET && result <= REQ_RESULT_MET)
            ++m_counters[result];
    return 0;
}

unsigned __stdcall CCheckRequirement::CheckRequirementThreadProc(void* self)
{
    CCheckRequirement* check = static_cast<CCheckRequirement*>(self);
    try {
        check->RunCheck();
    } catch (...) {
        // Nothing leaves the thread: a check cut short counts as failed in every item.
        check->SetAllFailed();
    }
    return 0;
}

void CCheckRequirement::SetAllFailed()
{
    for (LONG& result : m_context->requirementResults)
        result = REQ_RESULT_NOT_MET;
    for (DWORD& figure : m_context->diskFigures)
        figure = 0;
}

void CCheckRequirement::RunCheck()
{
    CPageContext& ctx = *m_context;
    if (!LoadOsDefinitions()) {
        SetAllFailed();
        return;
    }
    Evaluate(&GetSystemRequirements());
    CheckConflicts(ctx.conflictLists.displayNames, ctx.conflictLists.uninstallKeys);

    ctx.requirementResults[REQ_OS] = Result(GetOsResult(), "TWEAK_SKIP_SRCHK_OS");
    ctx.requirementResults[REQ_IE] = Result(GetBrowserResult(), "TWEAK_SKIP_SRCHK_IE");
    ctx.requirementResults[REQ_CPU] = Result(GetCpuResult(), "TWEAK_SKIP_SRCHK_CPU");
    ctx.requirementResults[REQ_MEM] = Result(GetMemoryResult(), "TWEAK_SKIP_SRCHK_MEM");
    ctx.requirementResults[REQ_HDD] = Result(GetDiskResult(), "TWEAK_SKIP_SRCHK_HDD");

    ctx.diskFigures[0] = GetDriveMask();
    ctx.diskFigures[1] = DWORD(GetHddEntry().systemPart);
    ctx.diskFigures[2] = DWORD(GetHddEntry().installPart);

    const bool conflicts = ctx.conflictLists.uninstallKeys.GetSize() > 0;
    ctx.requirementResults[REQ_APP] = (!CTextDef::HasText("TWEAK_SKIP_SRCHK_OS") && conflicts) ? REQ_RESULT_NOT_MET : REQ_RESULT_MET;
}

BOOL CCheckRequirement::CheckConflicts(CSimpleArray<CString>& names, CSimpleArray<CString>& keys)
{
    names.RemoveAll();
    keys.RemoveAll();
    CString list;
    if (!FetchUrlText(CTextDef::GetUrlText("COMMON_URI_CONFLICTIONCHKDATA"), list))
        return FALSE;

    CSimpleArray<CString> candidates = SplitLines(list);
    const CSimpleArray<ExcludePair> excludes = ParseExcludeList(CTextDef::GetText("COMMON_DATA_CONFLICT_EXCLUDE_LIST"));
    for (int i = 0; i < excludes.GetSize(); ++i)
        if (candidates.Find(excludes[i].key) < 0)
            Append(candidates, excludes[i].key);

    FindInstalledSoftware(candidates, names, keys);

    // A listed exclusion lets software pass only under exactly the name it is listed with.
    for (int found = keys.GetSize() - 1; found >= 0; --found) {
        for (int i = 0; i < excludes.GetSize(); ++i) {
            if (names[found] == excludes[i].displayName && keys[found] == excludes[i].key) {
                names.RemoveAt(found);
                keys.RemoveAt(found);
                break;
            }
        }
    }
    return TRUE;
}
