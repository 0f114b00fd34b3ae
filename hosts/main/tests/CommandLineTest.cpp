#include <gtest/gtest.h>

#include <string>

#include "CKAVOModule.h"
#include "CPageContext.h"

namespace {

std::string Text(const char* text)
{
    return text ? text : "(none)";
}

struct OptionCase {
    const char* commandLine;
    const char* startPage;
    const char* phase;
    const char* customerId;
    const char* accessKey;
    const char* mode;
};

class CommandLine : public ::testing::TestWithParam<OptionCase> {};

TEST_P(CommandLine, OptionsFillTheModule)
{
    const OptionCase& c = GetParam();
    CKAVOModule module;
    int result = -1;
    EXPECT_TRUE(module.ParseCommandLine(c.commandLine, &result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Text(module.startPage), Text(c.startPage));
    EXPECT_EQ(Text(module.phaseIndicator), Text(c.phase));
    EXPECT_EQ(module.customerId, c.customerId);
    EXPECT_EQ(module.accessKey, c.accessKey);
    EXPECT_EQ(module.mode, c.mode);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLine, ::testing::Values(
    OptionCase{"kavo.exe", nullptr, nullptr, "", "", ""},
    OptionCase{"kavo.exe -P A-N08-2", "A_N08_2", nullptr, "", "", ""},
    OptionCase{"kavo.exe --page B-E02-HDD-2", "B_E02_HDD_2", nullptr, "", "", ""},
    OptionCase{"kavo.exe -p A-N08-2", "A-N08-2", nullptr, "", "", ""},
    OptionCase{"kavo.exe -P", nullptr, nullptr, "", "", ""},
    OptionCase{"kavo.exe -i", nullptr, nullptr, "", "", ""},
    OptionCase{"kavo.exe -i Lpcif -c", "COMPLETE_INSTALLATION", "Lpcif", "", "", ""},
    OptionCase{"kavo.exe --phase-indicator LPDt --complete-upgrade", "COMPLETE_UPGRADE", "LPDt", "", "", ""},
    OptionCase{"kavo.exe -C -S", nullptr, nullptr, "", "", ""},
    OptionCase{"kavo.exe -c -cu", "COMPLETE_UPGRADE", nullptr, "", "", ""},
    OptionCase{"kavo.exe -P B-N04 --skip-preamble", "SKIP_PREAMBLE", nullptr, "", "", ""},
    OptionCase{"kavo.exe -id=K0001 -ps=secret -mode=osa2", nullptr, nullptr, "K0001", "secret", "osa2"},
    OptionCase{"kavo.exe -id=A -id=B", nullptr, nullptr, "B", "", ""},
    OptionCase{"kavo.exe -pa", nullptr, nullptr, "", "", "parented"},
    OptionCase{"kavo.exe -pa -mode=osa1", nullptr, nullptr, "", "", "osa1"},
    OptionCase{"kavo.exe -P -i", "_i", nullptr, "", "", ""},
    OptionCase{"\"C:\\Program Files\\KAVO\\kavo.exe\" -s", "SKIP_PREAMBLE", nullptr, "", "", ""},
    OptionCase{"kavo.exe -p FIREWALL_CHECK", "FIREWALL_CHECK", nullptr, "", "", ""}));

struct ModeCase {
    const char* mode;
    LONG runMode;
};

class RunMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(RunMode, ModeTextGivesTheContextRunMode)
{
    CKAVOModule module;
    module.mode = GetParam().mode;
    module.customerId = "K1";
    module.accessKey = "P1";
    CPageContext context;
    context.runMode = 99;
    module.FillContext(context);
    EXPECT_EQ(context.runMode, GetParam().runMode);
    EXPECT_EQ(context.customer.VeldinCommonID, "K1");
    EXPECT_EQ(context.customer.AccessKey, "P1");
    EXPECT_TRUE(context.phase.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, RunMode, ::testing::Values(
    ModeCase{"", RUNMODE_NORMAL}, ModeCase{"parented", RUNMODE_PARENTED}, ModeCase{"osa1", RUNMODE_OSA1},
    ModeCase{"osa2", RUNMODE_OSA2}, ModeCase{"OSA2", RUNMODE_NORMAL}, ModeCase{"osa3", RUNMODE_NORMAL}));

}  // namespace
