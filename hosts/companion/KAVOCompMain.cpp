#include <windows.h>

#include "CAtlException.h"
#include "CKAVOCompModule.h"

static CKAVOCompModule g_module;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        return g_module.WinMain();
    } catch (const CAtlException& e) {
        return HRESULT(e);
    } catch (...) {
        return E_UNEXPECTED;
    }
}
