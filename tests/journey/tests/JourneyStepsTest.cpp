#include <gtest/gtest.h>

#include "ControlNames.h"
#include "JourneySteps.h"
#include "KavoTestPaths.h"
#include "ScreenTable.h"
#include "CTextDef.h"

namespace {

TEST(JourneySteps, ReadsVerbsFieldsAndTextsToTheEndOfTheLine)
{
    const std::string journey =
        "# comment\r\n"
        "\r\n"
        "start   KAVO.exe -P A-N07\r\n"
        u8"type    IDC_EDIT1 山田　花子  \r\n"
        "html IDC_WEBBROWSER check agree 1\n"
        "close\n"
        "plant folder %TEMP%\\kavo x\n"
        "unplant uninstall {6E3F7A10-2B4C} Suite\n"
        "exit 401\n"
        "script  1001 {\"result\": \"1001\", \"times\": 2}\n"
        u8"written IDC_WEBBROWSER 居間 SN000101\n"
        "script * {\"mode\": \"refuse\"}\n"
        "env KAVO_FAKE_SETUP_STATUS_KEY HKLM\\Software\\K K\\Status\n"
        "env KAVO_FAKE_SETUP_EXIT\n"
        u8"define COMMON_SIGNER_XGINSTALLER KAVO Test Publisher 株式会社\n"
        "installer tampered ksetup.exe\n"
        "plant product";
    std::vector<JourneyStep> steps;
    std::string error;
    ASSERT_TRUE(ParseJourney(journey, &steps, &error)) << error;
    ASSERT_EQ(steps.size(), 15u);
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[0].fields, (std::vector<std::string>{"KAVO.exe", "-P A-N07"}));
    // The program's code page, trailing blanks gone, the inner ideographic space kept.
    EXPECT_EQ(steps[1].fields, (std::vector<std::string>{"IDC_EDIT1", "\x8eR\x93\x63\x81\x40\x89\xd4\x8eq"}));
    EXPECT_EQ(steps[2].fields, (std::vector<std::string>{"IDC_WEBBROWSER", "check agree 1"}));
    EXPECT_TRUE(steps[3].fields.empty());
    EXPECT_EQ(steps[4].fields, (std::vector<std::string>{"folder", "%TEMP%\\kavo x"}));
    // An uninstall key name keeps its blanks: it is the rest of the line.
    EXPECT_EQ(steps[5].fields, (std::vector<std::string>{"uninstall", "{6E3F7A10-2B4C} Suite"}));
    EXPECT_EQ(steps[6].line, 9);
    // A JSON object with blanks inside stays one field.
    EXPECT_EQ(steps[7].fields, (std::vector<std::string>{"1001", "{\"result\": \"1001\", \"times\": 2}"}));
    // An environment value with blanks is one text; one without a value removes it.
    EXPECT_EQ(steps[10].fields, (std::vector<std::string>{"KAVO_FAKE_SETUP_STATUS_KEY", "HKLM\\Software\\K K\\Status"}));
    EXPECT_EQ(steps[11].fields, (std::vector<std::string>{"KAVO_FAKE_SETUP_EXIT"}));
    EXPECT_EQ(steps[12].fields,
              (std::vector<std::string>{"COMMON_SIGNER_XGINSTALLER", "KAVO Test Publisher \x8a\x94\x8e\xae\x89\xef\x8e\xd0"}));
    EXPECT_EQ(steps[13].fields, (std::vector<std::string>{"tampered", "ksetup.exe"}));
    EXPECT_EQ(steps[14].fields, (std::vector<std::string>{"product"}));
    EXPECT_EQ(steps[8].fields, (std::vector<std::string>{"IDC_WEBBROWSER", "\x8b\x8f\x8a\xd4 SN000101"}));
    EXPECT_EQ(steps[9].fields, (std::vector<std::string>{"*", "{\"mode\": \"refuse\"}"}));
}

// The arguments of a program started beside the journey's one and of the companion's RunOnce
// value keep their inner blanks; the value's arguments may be a definition's text.
TEST(JourneySteps, ReadsTheRestartVerbs)
{
    const std::string journey =
        "windows KAVO.exe winxp\n"
        "spawn   %TEMP%\\KRVK\\ksetup.exe /s  /resume\n"
        "spawn   ksetup.exe\n"
        "minimised 1\n"
        "endsession\n"
        "runonce -c -i LPCsif\n"
        "runonce def:COMMON_ARG_COMPLETE_UPGRADE\n";
    std::vector<JourneyStep> steps;
    std::string error;
    ASSERT_TRUE(ParseJourney(journey, &steps, &error)) << error;
    ASSERT_EQ(steps.size(), 7u);
    EXPECT_EQ(steps[0].fields, (std::vector<std::string>{"KAVO.exe", "winxp"}));
    EXPECT_EQ(steps[1].fields, (std::vector<std::string>{"%TEMP%\\KRVK\\ksetup.exe", "/s  /resume"}));
    EXPECT_EQ(steps[2].fields, (std::vector<std::string>{"ksetup.exe"}));
    EXPECT_EQ(steps[3].fields, (std::vector<std::string>{"1"}));
    EXPECT_TRUE(steps[4].fields.empty());
    EXPECT_EQ(steps[5].fields, (std::vector<std::string>{"-c -i LPCsif"}));
    EXPECT_EQ(steps[6].fields, (std::vector<std::string>{"def:COMMON_ARG_COMPLETE_UPGRADE"}));
}

TEST(JourneySteps, RefusesAFaultyLineNamingIt)
{
    struct Case {
        const char* journey;
        const char* error;
    };
    const Case cases[] = {
        {"start KAVO.exe\nfly away\n", "line 2: unknown verb \"fly\""},
        {"text IDC_STATIC1\n", "line 1: text needs 2 field(s)"},
        {"close now\n", "line 1: unexpected \"now\" after close"},
        {"follow KAVO.exe -P RESTART\n", "line 1: unexpected \"-P RESTART\" after follow"},
        {"checked IDC_CHECK1 yes\n", "line 1: expected 0 or 1, not \"yes\""},
        {"exit 40x\n", "line 1: expected an exit value or \"any\", not \"40x\""},
        {u8"answer maybe 終了\n", "line 1: expected yes, no, ok or cancel, not \"maybe\""},
        {"removed registry\n", "line 1: expected download.tmp, runonce, folder, uninstall or product, not \"registry\""},
        {"plant product KAVOCore.dll\n", "line 1: product takes no path"},
        {"env KAVO=X 1\n", "line 1: expected a name of letters, digits and \"_\", not \"KAVO=X\""},
        {"env\n", "line 1: env needs 1 field(s)"},
        {"define COMMON_TITLE\n", "line 1: define needs 2 field(s)"},
        {"define COMMON-TITLE x\n", "line 1: expected a name of letters, digits and \"_\", not \"COMMON-TITLE\""},
        {"installer forged\n", "line 1: no package variant \"forged\""},
        {"installer signed ksetup.exe now\n", "line 1: unexpected \"now\" after installer"},
        {"plant folder\n", "line 1: folder needs its path"},
        {"unplant uninstall\n", "line 1: uninstall needs its key name"},
        {"unplant download.tmp x\n", "line 1: download.tmp takes no path"},
        {"kept runonce HKCU\n", "line 1: runonce takes no path"},
        {"shown IDC_RETRY no\n", "line 1: expected 0 or 1, not \"no\""},
        {"script 101 {}\n", "line 1: expected a four-digit request id or \"*\", not \"101\""},
        {"script 1001x {}\n", "line 1: expected a four-digit request id or \"*\", not \"1001x\""},
        {"script 1001 \"result\": \"1001\"\n", "line 1: expected a JSON object in braces, not \"\"result\": \"1001\"\""},
        {"script 1001\n", "line 1: script needs 2 field(s)"},
        {"sent 109 SN1\n", "line 1: expected a four-digit request id or \"*\", not \"109\""},
        {"sent 1009 SN1, SN2\n", "line 1: unexpected \"SN2\" after sent"},
        {"orders {\"CustomerName\": \"x\"\n", "line 1: expected a JSON object in braces, not \"{\"CustomerName\": \"x\"\""},
        {"written IDC_WEBBROWSER\n", "line 1: written needs 2 field(s)"},
        {"type IDC_EDIT1 \xff\xfe\n", "line 1: \"\xff\xfe\" is not UTF-8 text with a CP932 form"},
        {"minimised yes\n", "line 1: expected 0 or 1, not \"yes\""},
        {"endsession now\n", "line 1: unexpected \"now\" after endsession"},
        {"runonce\n", "line 1: runonce needs 1 field(s)"},
        {"windows KAVO.exe\n", "line 1: windows needs 2 field(s)"},
        {"windows KAVO.exe win xp\n", "line 1: unexpected \"xp\" after windows"},
        {"windows KAVO.exe win=xp\n", "line 1: expected a name of letters, digits and \"_\", not \"win=xp\""},
        {"spawn\n", "line 1: spawn needs 1 field(s)"},
    };
    for (const Case& c : cases) {
        std::vector<JourneyStep> steps;
        std::string error;
        EXPECT_FALSE(ParseJourney(c.journey, &steps, &error)) << c.journey;
        EXPECT_EQ(error, c.error) << c.journey;
    }
}

TEST(JourneyFiles, EveryJourneyAndTheScreenTableReadAndNameWhatExists)
{
    const ControlNames names = ParseControlNames(ReadWholeFile(SourcePath("resources/resource.h")));
    ASSERT_EQ(ControlId(names, "IDC_WEBBROWSER"), 200);
    EXPECT_EQ(ControlId(names, "1005"), 1005);
    EXPECT_EQ(ControlId(names, "IDC_NO_SUCH"), -1);

    ASSERT_TRUE(CTextDef::LoadFromFile(SourcePath("resources/text.def").c_str()));
    std::vector<ScreenLook> screens;
    std::string error;
    ASSERT_TRUE(ParseScreenTable(ReadWholeFile(SourcePath("tests/journey/screens.txt")), names, &screens, &error)) << error;
    for (const ScreenLook& look : screens)
        for (const ScreenLook::ControlText& entry : look.texts)
            // An empty text would match any empty control.
            EXPECT_FALSE(CTextDef::GetText(entry.key.c_str()).IsEmpty()) << look.screen << " " << entry.key;

    for (const char* file : {"tests/journey/pages.journey", "tests/journey/demo.journey", "tests/journey/signin.journey",
                             "tests/journey/order.journey", "tests/journey/cancel.journey",
                             "tests/journey/failures.journey", "tests/journey/pending.journey",
                             "tests/journey/install.journey", "tests/journey/update.journey",
                             "tests/journey/upgrade.journey"}) {
        std::vector<JourneyStep> steps;
        ASSERT_TRUE(ParseJourney(ReadWholeFile(SourcePath(file)), &steps, &error)) << file << ": " << error;
        for (const JourneyStep& step : steps) {
            if (step.verb == "page") {
                EXPECT_NE(FindScreen(screens, step.fields[0]), nullptr) << file << " line " << step.line;
            }
            if (step.verb == "text" || step.verb == "enabled" || step.verb == "checked" || step.verb == "shown" ||
                step.verb == "type" || step.verb == "click" || step.verb == "html" || step.verb == "written") {
                EXPECT_GE(ControlId(names, step.fields[0]), 0) << file << " line " << step.line;
            }
        }
    }
}

TEST(ScreenTable, RefusesALineItCannotUse)
{
    const ControlNames names = {{"IDC_STATIC1", 1001}};
    struct Case {
        const char* table;
        const char* error;
    };
    const Case cases[] = {
        {"A-N07\n", "line 1: A-N07 names no control"},
        {"A-N07 IDC_STATIC9=A_N07_IDC_STATIC1\n", "line 1: \"IDC_STATIC9=A_N07_IDC_STATIC1\" is not <control>=<definition key>"},
        {"A-N07 IDC_STATIC1=\n", "line 1: \"IDC_STATIC1=\" is not <control>=<definition key>"},
        {"A-N07 IDC_STATIC1=K\n# x\nA-N07 1001=K\n", "line 3: A-N07 is listed twice"},
    };
    for (const Case& c : cases) {
        std::vector<ScreenLook> screens;
        std::string error;
        EXPECT_FALSE(ParseScreenTable(c.table, names, &screens, &error)) << c.table;
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
