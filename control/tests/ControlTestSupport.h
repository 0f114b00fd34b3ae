#pragma once
// What the control's tests share: the built library, registration through the system's
// regsvr32, the registry's 32-bit view, a window that hosts the control by its class id as a
// page would, and late-bound calls as a page's script makes them.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "CA2W.h"
#include "CAxHost.h"
#include "CComPtr.h"
#include "CComVariant.h"
#include "KavoTestPaths.h"
#include "PevlinIds.h"
#include "ProgramRun.h"

inline std::string ControlLibraryPath()
{
    return TestBinFolder() + "\\AxPevlin.dll";
}

// regsvr32's exit value for arguments followed by the library's path.
inline DWORD RunRegsvr32(const std::string& arguments)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    HANDLE process = StartProgram(std::string(system) + "\\regsvr32.exe", arguments + " \"" + ControlLibraryPath() + "\"");
    if (!process)
        return DWORD(-1);
    const DWORD code = WaitForExit(process);
    CloseHandle(process);
    return code;
}

// A key of HKEY_CLASSES_ROOT as a 32-bit library sees it.
inline bool ClassesKeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The string value (empty name: the default one); "<missing>" when key or value is absent.
inline std::string ClassesValue(const std::string& path, const char* name = "")
{
    char value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CLASSES_ROOT, path.c_str(), *name ? name : nullptr, RRF_RT_REG_SZ,
                     nullptr, value, &size) != ERROR_SUCCESS)
        return "<missing>";
    return value;
}

inline std::wstring Wide(const char* cp932)
{
    return std::wstring(static_cast<const wchar_t*>(CA2W(cp932)));
}

inline std::string Narrow(const wchar_t* text)
{
    if (!text)
        return std::string();
    char buffer[1024] = {};
    WideCharToMultiByte(932, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

// Calls by name through IDispatch, as a page's script does. result may be null.
inline HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* argument = nullptr,
                          VARIANT* result = nullptr)
{
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {argument, flags == DISPATCH_PROPERTYPUT ? &named : nullptr, argument ? 1u : 0u,
                         flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

// Shown by its own WS_VISIBLE style; the host's frame stays hidden (a visible top-level
// window takes Wine seconds to destroy), so IsWindowVisible would say no.
inline bool Shown(HWND window)
{
    return window && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE);
}

// A top-level window with a child that hosts the control by its class id, in-place active;
// the frame is shown only for a picture.
class ControlHost {
public:
    explicit ControlHost(bool shown = false)
    {
        AtlAxWinRegisterClass(kClsidPevlinText);
        m_frame = CreateWindowExA(0, "STATIC", "host", WS_POPUP | (shown ? WS_VISIBLE : 0), 0, 0, 640, 480, nullptr,
                                  nullptr, nullptr, nullptr);
        m_host = CreateWindowExA(0, kClsidPevlinText, "", WS_CHILD | WS_VISIBLE, 10, 10, 500, 300, m_frame, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        CComPtr<IUnknown> control;
        if (m_host && AtlAxGetControl(m_host, &control) == S_OK)
            control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_dispatch));
    }
    ~ControlHost()
    {
        m_dispatch.Release();
        if (m_frame)
            DestroyWindow(m_frame);
    }
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    IDispatch* Dispatch() const { return m_dispatch; }
    HWND HostWindow() const { return m_host; }
    // The control's own window: the panel, the host window's only child.
    HWND Panel() const { return m_host ? GetWindow(m_host, GW_CHILD) : nullptr; }

private:
    HWND m_frame = nullptr;
    HWND m_host = nullptr;
    CComPtr<IDispatch> m_dispatch;
};

class ComApartment : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};
