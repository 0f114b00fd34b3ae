#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "KavoTestPaths.h"
#include "KavoVersion.h"

namespace {

struct VersionBlock {
    bool present = false;
    VS_FIXEDFILEINFO fixed = {};
    std::string fileVersion;
    std::string originalName;
    bool selfRegisters = false;
};

std::string StringValue(const std::vector<BYTE>& block, const char* name, bool* found = nullptr)
{
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\041103a4\\") + name;
    const bool ok = VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && value;
    if (found)
        *found = ok;
    return ok ? std::string(value) : std::string();
}

VersionBlock ReadBlock(const std::string& path)
{
    VersionBlock result;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (!size)
        return result;
    std::vector<BYTE> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
        return result;
    result.present = true;
    result.fixed = *fixed;
    result.fileVersion = StringValue(block, "FileVersion");
    result.originalName = StringValue(block, "OriginalFilename");
    StringValue(block, "OLESelfRegister", &result.selfRegisters);
    return result;
}

struct Deliverable {
    const char* file;
    DWORD type;
    bool selfRegisters;
};

const Deliverable kDeliverables[] = {
    {"KAVO.exe", VFT_APP, false},
    {"KAVOCore.dll", VFT_DLL, false},
    {"KAVOComp.exe", VFT_APP, false},
    {"AxPevlin.dll", VFT_DLL, true},
};

void ExpectReleaseVersion(const std::string& path, const Deliverable& deliverable)
{
    SCOPED_TRACE(path);
    const VersionBlock block = ReadBlock(path);
    ASSERT_TRUE(block.present);
    EXPECT_EQ(block.fixed.dwFileVersionMS, DWORD(MAKELONG(KAVO_VERSION_MINOR, KAVO_VERSION_MAJOR)));
    EXPECT_EQ(block.fixed.dwFileVersionLS, DWORD(MAKELONG(KAVO_VERSION_FOURTH, KAVO_VERSION_THIRD)));
    EXPECT_EQ(block.fixed.dwProductVersionMS, block.fixed.dwFileVersionMS);
    EXPECT_EQ(block.fixed.dwProductVersionLS, block.fixed.dwFileVersionLS);
    EXPECT_EQ(block.fixed.dwFileType, deliverable.type);
    EXPECT_EQ(block.fileVersion, KAVO_VERSION_COMMAS);
    EXPECT_EQ(block.originalName, deliverable.file);
    EXPECT_EQ(block.selfRegisters, deliverable.selfRegisters);
}

}  // namespace

// The self-update compares the core library's block with the published version, so every
// deliverable must carry the one release number, also after the distribution strip.
TEST(VersionResource, EveryDeliverableCarriesTheReleaseVersionBuiltAndShipped)
{
    const std::string bin = TestBinFolder();
    const std::string dist = bin.substr(0, bin.find_last_of('\\')) + "\\dist";
    for (const Deliverable& deliverable : kDeliverables) {
        ExpectReleaseVersion(bin + "\\" + deliverable.file, deliverable);
        ExpectReleaseVersion(dist + "\\" + deliverable.file, deliverable);
    }
}
