// Mutated version files of the self-update.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CLiveUpdate.h"
#include "FuzzRun.h"
#include "GuardedBytes.h"
#include "KavoTestPaths.h"

namespace {

TEST(VersionFileFuzz, VersionFileSurvivesMutatedText)
{
    const std::vector<std::string> seeds = {
        ReadWholeFile(SourcePath("tests/fuzz/seeds/version.txt")),
        "1.2.3.4",
        "65535.65535.65535.65535 x",
    };
    ASSERT_FALSE(seeds[0].empty());
    CFuzzRun run("versionfile", seeds, 0x7E75F11E, 3000);
    run.Run([](const std::string& input) {
        const CGuardedBytes text(input, true);
        LiveUpdateVersion version;
        if (CLiveUpdate::ParseVersionFile(text.Data(), version)) {
            EXPECT_NE(0, version.major);
        }
    });
}

}  // namespace
