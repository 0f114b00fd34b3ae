#pragma once
// What the page tests share: the window classes and controls pages need, a plain frame to
// create pages in, and a context that starts with every step still to come.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "CAxHost.h"
#include "CPageContext.h"
#include "StepBar.h"

class PageTestFrame : public ::testing::Test {
public:
    static constexpr const char* kStartPhase = "lpcsairfdt";

protected:
    static void SetUpTestSuite()
    {
        AtlAxWinInit();
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        FillStepBitmapMap();
        WNDCLASSEXA windowClass = {sizeof windowClass};
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KavoPageTestFrame";
        RegisterClassExA(&windowClass);
    }

    void SetUp() override
    {
        frame = ::CreateWindowExA(0, "KavoPageTestFrame", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                  nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(frame, nullptr);
        context.phase = kStartPhase;
        context.exitValue = EXIT_PRESET;
        for (LONG& result : context.requirementResults)
            result = 7;
    }

    void TearDown() override
    {
        if (frame)
            ::DestroyWindow(frame);
    }

    HWND frame = nullptr;
    CPageContext context;
};
