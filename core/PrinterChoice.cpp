#include "PrinterChoice.h"

namespace {

// A locked global block, unlocked when it goes.
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL block) : m_block(block), m_data(block ? ::GlobalLock(block) : nullptr) {}
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;
    ~CGlobalLock()
    {
        if (m_data)
            ::GlobalUnlock(m_block);
    }
    void* Data() const { return m_data; }

private:
    HGLOBAL m_block;
    void* m_data;
};

}  // namespace

bool CPrinterChoice::Show(HWND owner)
{
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
    pd.Flags = PD_ALLPAGES | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE | PD_RETURNDC;
    const bool chosen = ::PrintDlgA(&pd) != FALSE;
    // Even a cancelled dialog may hand back blocks.
    Adopt(pd);
    return chosen;
}

void CPrinterChoice::Adopt(PRINTDLGA& pd)
{
    m_dialogDC.Attach(pd.hDC);
    m_devMode.Attach(pd.hDevMode);
    m_devNames.Attach(pd.hDevNames);
    pd.hDC = nullptr;
    pd.hDevMode = nullptr;
    pd.hDevNames = nullptr;
}

HDC CPrinterChoice::CreatePrinterDC() const
{
    const CGlobalLock names(m_devNames);
    if (!names.Data())
        return nullptr;
    const DEVNAMES* devNames = static_cast<const DEVNAMES*>(names.Data());
    const char* base = static_cast<const char*>(names.Data());
    const CGlobalLock mode(m_devMode);
    return ::CreateDCA(base + devNames->wDriverOffset, base + devNames->wDeviceOffset,
                       base + devNames->wOutputOffset, static_cast<const DEVMODEA*>(mode.Data()));
}
