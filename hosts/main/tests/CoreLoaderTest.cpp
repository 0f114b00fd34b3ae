#include <gtest/gtest.h>

#include "CCoreLoader.h"
#include "KavoDriver.h"
#include "KavoTestPaths.h"

namespace {

const char kFatal[] = "致命的なエラー";

TEST(CoreLoader, LoadsTheLibraryOnceForManyRequests)
{
    CCoreLoader loader(LocalPageFactory, true);
    EXPECT_EQ(loader.GetLibraryPath(), (TestBinFolder() + "\\kavocore.dll").c_str());
    EXPECT_EQ(loader.GetPageObject("CLoginDialog", nullptr, nullptr), nullptr);
    HMODULE first = loader.library;
    ASSERT_NE(first, nullptr);
    EXPECT_NE(loader.initialize, nullptr);
    EXPECT_NE(loader.setDomainUrl, nullptr);
    EXPECT_NE(loader.finalize, nullptr);
    loader.GetPageObject("CStatusDialog", nullptr, nullptr);
    EXPECT_EQ(loader.library, first);
}

TEST(CoreLoader, CompanionBindsNoDomainUrl)
{
    CCoreLoader loader(nullptr, false);
    loader.GetPageObject("CInstallDialog", nullptr, nullptr);
    EXPECT_NE(loader.getPageObject, nullptr);
    EXPECT_EQ(loader.setDomainUrl, nullptr);
}

TEST(CoreLoader, MissingLibraryShowsBothBoxesAndTriesAgainNextTime)
{
    CCoreLoader loader(LocalPageFactory, true);
    loader.libraryPath = (TempFolder() + "\\no-such-folder\\kavocore.dll").c_str();
    for (int request = 0; request < 2; ++request) {
        MessageBoxAnswerer answerer(kFatal, IDOK);
        answerer.boxes = 2;
        answerer.Start();
        EXPECT_EQ(loader.GetPageObject("CLoginDialog", nullptr, nullptr), nullptr);
        answerer.Wait();
        const std::vector<std::string> expected = {"kavocore.dll がロードできません", "GetPageObject が見つかりません"};
        EXPECT_EQ(answerer.texts, expected) << "request " << request;
        EXPECT_EQ(loader.library, nullptr);
    }
}

TEST(CoreLoader, LibraryWithoutThePageExportShowsOneBox)
{
    CCoreLoader loader(LocalPageFactory, true);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    loader.libraryPath = (std::string(system) + "\\version.dll").c_str();
    MessageBoxAnswerer answerer(kFatal, IDOK);
    answerer.Start();
    EXPECT_EQ(loader.GetPageObject("CLoginDialog", nullptr, nullptr), nullptr);
    answerer.Wait();
    EXPECT_EQ(answerer.texts, std::vector<std::string>{"GetPageObject が見つかりません"});
    EXPECT_NE(loader.library, nullptr);
    EXPECT_EQ(loader.initialize, nullptr);
}

}  // namespace
