// The fuzz runs only prove something when their traps spring: these cases show that a read
// past an input and a write past a string's end are caught, and that inputs repeat.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "CStringT.h"
#include "CanaryStringMgr.h"
#include "GuardedBytes.h"
#include "MutationEngine.h"

namespace {

bool IsNoAccess(const void* address)
{
    MEMORY_BASIC_INFORMATION info;
    return VirtualQuery(address, &info, sizeof info) && info.State == MEM_COMMIT && info.Protect == PAGE_NOACCESS;
}

TEST(FuzzHarness, InputsEndRightBeforeANoAccessPage)
{
    for (size_t size : {size_t(0), size_t(1), size_t(4095), size_t(4096), size_t(4097), size_t(70000)}) {
        SCOPED_TRACE(size);
        for (bool terminated : {false, true}) {
            const CGuardedBytes bytes(std::string(size, 'x'), terminated);
            const char* end = bytes.Data() + size + (terminated ? 1 : 0);
            EXPECT_TRUE(IsNoAccess(end));
            if (size) {
                EXPECT_FALSE(IsNoAccess(end - 1));
            }
            if (terminated) {
                EXPECT_EQ(end[-1], '\0');
            }
        }
    }

    CString text("abc");
    PlaceAtGuardPage(text);
    EXPECT_TRUE(IsNoAccess(text.GetString() + 4));
    text += std::string(5000, 'y').c_str();  // growing keeps the string at a guard
    EXPECT_TRUE(IsNoAccess(text.GetString() + text.GetLength() + 1));
    EXPECT_EQ(text.Left(4), "abcy");
}

TEST(FuzzHarness, WriteBehindTheTerminatorIsCounted)
{
    const long before = CanaryFaults();
    {
        CString sound;
        sound.SetManager(CanaryStringManager());
        sound = "sound";
        sound += "ly grown";
    }
    EXPECT_EQ(CanaryFaults(), before);
    {
        CString text;
        text.SetManager(CanaryStringManager());
        text = "12345";
        char* buffer = text.GetBuffer();
        buffer[6] = 'X';  // one byte behind the terminator
    }
    EXPECT_EQ(CanaryFaults(), before + 1);
}

TEST(FuzzHarness, SameNumbersMakeTheSameInputAndOthersDiffer)
{
    const CMutationEngine engine({"A=1\r\n[S]\r\nB=2\r\n", "<a>b</a>"}, 42);
    const CMutationEngine again({"A=1\r\n[S]\r\nB=2\r\n", "<a>b</a>"}, 42);
    int differing = 0;
    for (uint32_t i = 0; i < 200; ++i) {
        EXPECT_EQ(engine.Make(i), again.Make(i)) << i;
        differing += engine.Make(i) != engine.Make(i + 1);
    }
    EXPECT_GT(differing, 150);
}

}  // namespace
