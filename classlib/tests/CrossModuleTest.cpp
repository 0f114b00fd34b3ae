#include <gtest/gtest.h>

#include "CAxHost.h"
#include "CStringT.h"

namespace {

// The module whose image holds address.
HMODULE ModuleOf(const void* address)
{
    MEMORY_BASIC_INFORMATION info = {};
    if (!::VirtualQuery(address, &info, sizeof info))
        return nullptr;
    return static_cast<HMODULE>(info.AllocationBase);
}

WNDPROC HostClassProcedure(HMODULE module)
{
    WNDCLASSEXA info = {sizeof info};
    return ::GetClassInfoExA(module, kWebBrowserClassName, &info) ? info.lpfnWndProc : nullptr;
}

// The other module is loaded, used first and unloaded; this program then goes on with what it
// left behind, as the companion program or a control library would change the order.
class OtherModuleFirst : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_other = ::LoadLibraryA("classlib_other_module.dll");
        ASSERT_NE(m_other, nullptr);
    }
    void TearDown() override
    {
        if (m_other)
            ::FreeLibrary(m_other);
    }
    template <typename F>
    F Export(const char* name)
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m_other, name)));
    }
    void Unload()
    {
        ::FreeLibrary(m_other);
        m_other = nullptr;
    }

    HMODULE m_other = nullptr;
};

TEST_F(OtherModuleFirst, HostWindowClassBelongsToTheModuleThatCallsItsProcedure)
{
    auto registerClass = Export<BOOL (*)()>("OtherModuleRegisterHostClass");
    ASSERT_NE(registerClass, nullptr);
    ASSERT_TRUE(registerClass());
    const HMODULE other = m_other;
    EXPECT_EQ(ModuleOf(reinterpret_cast<void*>(HostClassProcedure(other))), other);

    ASSERT_TRUE(AtlAxWinInit());
    const HMODULE self = ::GetModuleHandleA(nullptr);
    // Checked before any window is made: the wrong answer would run unloaded code.
    ASSERT_EQ(ModuleOf(reinterpret_cast<void*>(HostClassProcedure(self))), self);

    Unload();
    HWND host = ::CreateWindowExA(0, kWebBrowserClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, self, nullptr);
    ASSERT_NE(host, nullptr);
    IUnknown* control = nullptr;
    // Without COM the window hosts nothing, but its procedure answers.
    EXPECT_EQ(AtlAxGetControl(host, &control), S_FALSE);
    ::DestroyWindow(host);
}

TEST_F(OtherModuleFirst, StringMadeThereIsFreedAndGrownHereAfterItsMakerIsGone)
{
    auto makeText = Export<void (*)(CStringA*, const char*)>("OtherModuleMakeText");
    ASSERT_NE(makeText, nullptr);
    CStringA text;
    makeText(&text, "made over there");
    ASSERT_EQ(text, "made over there");
    // Checked before the module goes: a buffer that calls back into it would crash below.
    ASSERT_EQ(text.GetManager(), AtlGetStringManager());

    Unload();
    text += CStringA('x', 5000);
    EXPECT_EQ(text.GetLength(), 15 + 5000);
    text.Empty();
    EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
