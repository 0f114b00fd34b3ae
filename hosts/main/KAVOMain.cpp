#include <windows.h>

#include "CAtlException.h"
#include "CKAVOModule.h"

// Built before the entry runs and destroyed at process exit, which releases the mutex.
static CKAVOModule g_module;

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
