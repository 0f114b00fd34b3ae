#include "CAxPevlinApp.h"

#include <commctrl.h>

#include "CAtlModule.h"

CAxPevlinApp theApp;

BOOL CAxPevlinApp::InitInstance(HINSTANCE module)
{
    m_module = module;
    AtlSetResourceInstance(module);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    return TRUE;
}

int CAxPevlinApp::ExitInstance()
{
    return 0;
}
