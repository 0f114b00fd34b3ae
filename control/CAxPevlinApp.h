#pragma once
// The library's application object: one global instance, started and ended by DllMain.
#include <windows.h>

class CAxPevlinApp {
public:
    // Binds the module's resources and the window classes the panel uses.
    BOOL InitInstance(HINSTANCE module);
    int ExitInstance();

    HINSTANCE Module() const { return m_module; }

private:
    HINSTANCE m_module = nullptr;
};

extern CAxPevlinApp theApp;
