#include <gtest/gtest.h>

#include "CPageContext.h"

namespace {

TEST(PageContext, FreshContextIsTheNormalRun)
{
    CPageContext context;
    EXPECT_EQ(context.cleanupFlags, 0u);
    EXPECT_EQ(context.exitValue, 0);
    EXPECT_EQ(context.runMode, RUNMODE_NORMAL);
    EXPECT_EQ(context.launcherParams, nullptr);
    EXPECT_EQ(context.ownerPage, nullptr);
    EXPECT_EQ(context.notifyWindow, nullptr);
    EXPECT_EQ(context.autoFlow, 0);
    EXPECT_TRUE(context.phase.IsEmpty());
    EXPECT_EQ(context.cleanupFolder[0], '\0');
    EXPECT_EQ(context.cleanupFolder[MAX_PATH], '\0');
    for (LONG result : context.requirementResults)
        EXPECT_EQ(result, 0);
    EXPECT_TRUE(context.traceLog.GetPattern().IsEmpty());
    EXPECT_FALSE(context.IsValueSet());
}

TEST(PageContext, AbsentValueReadsEmptyAndClearingEmptiesTheFlow)
{
    CPageContext context;
    EXPECT_TRUE(context.GetValue("AN08_ORDER").IsEmpty());
    context.SetValue("AN08_ORDER", "新規契約");
    context.response.agreements.Add(COpsAgreement());
    context.response.serials.Add(COpsSerialInfo());
    context.customer.selectedSerialIDs.Add("S1");
    context.conflictLists.displayNames.Add("A");
    context.conflictLists.uninstallKeys.Add("B");
    context.phase = "Lpcif";
    EXPECT_EQ(context.GetValue("AN08_ORDER"), "新規契約");

    context.ClearFlowData();
    EXPECT_TRUE(context.GetValue("AN08_ORDER").IsEmpty());
    EXPECT_EQ(context.response.agreements.GetSize(), 0);
    EXPECT_EQ(context.response.serials.GetSize(), 0);
    EXPECT_EQ(context.customer.selectedSerialIDs.GetSize(), 0);
    EXPECT_EQ(context.conflictLists.displayNames.GetSize(), 0);
    EXPECT_EQ(context.conflictLists.uninstallKeys.GetSize(), 0);
    EXPECT_EQ(context.phase, "Lpcif");
}

TEST(PageContext, QuietCompletionFollowsTheLauncherValue)
{
    BYTE block[LAUNCHER_BLOCK_SIZE] = {};
    CPageContext context;
    context.launcherParams = block;
    const LONG minusOne = -1;
    memcpy(block + LAUNCHER_QUIET_OFFSET, &minusOne, sizeof minusOne);
    EXPECT_FALSE(context.IsValueSet());
    block[LAUNCHER_QUIET_OFFSET] = 0;
    EXPECT_TRUE(context.IsValueSet());
    context.launcherParams = nullptr;
}

TEST(PageContext, DestroyAndDeleteFreesOnlyWhenAsked)
{
    CPageContext* owned = new CPageContext;
    owned->SetValue("K", "V");
    owned->DestroyAndDelete(1);

    alignas(CPageContext) unsigned char storage[sizeof(CPageContext)];
    CPageContext* placed = new (storage) CPageContext;
    placed->SetValue("K", "V");
    placed->DestroyAndDelete(0);
}

COpsSerialInfo Serial(const char* id, int status)
{
    COpsSerialInfo serial;
    serial.SerialID = id;
    serial.SerialStatus = status;
    return serial;
}

// "B" is listed twice with different states: the lookups disagree on which entry counts.
TEST(PageContext, SerialLookupsFindTheEntryEachOneIsMeantFor)
{
    CPageContext context;
    context.response.serials.Add(Serial("A", 2));
    context.response.serials.Add(Serial("B", 4));
    context.response.serials.Add(Serial("C", 1));
    context.response.serials.Add(Serial("B", 1));
    context.response.serials.Add(Serial("D", 1));

    const struct {
        const char* id;
        int foundIndex;  // the entry FindSerial gives; -1: none
        int status;
    } cases[] = {
        {"A", 0, 2},
        {"B", 3, 4},
        {"D", 4, 1},
        {"b", -1, -1},
        {"", -1, -1},
        {"Z", -1, -1},
        {nullptr, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id ? c.id : "(null)");
        const COpsSerialInfo* expected = c.foundIndex < 0 ? nullptr : &context.response.serials[c.foundIndex];
        EXPECT_EQ(context.FindSerial(c.id), expected);
        EXPECT_EQ(context.GetSerialStatus(c.id), c.status);
    }
    EXPECT_STREQ(context.GetFirstSerialAwaitingInstall(), "C");
}

TEST(PageContext, NoSerialAwaitsInstallationWhenNoneHasThatState)
{
    CPageContext context;
    EXPECT_EQ(context.GetFirstSerialAwaitingInstall(), nullptr);
    for (int status : {0, 2, 3, 4, 5})
        context.response.serials.Add(Serial("S", status));
    EXPECT_EQ(context.GetFirstSerialAwaitingInstall(), nullptr);
    EXPECT_EQ(context.GetSerialStatus("S"), 0);
}

}  // namespace
