#pragma once
// The connection-check control: a composite, always-windowed ActiveX control whose window is
// the progress panel. A page sets its properties, calls one Execute method, which returns when
// its worker has ended, and reads RtnCode. Made with new by its class factory; its last COM
// reference deletes it (after its window, which InPlaceDeactivate or the destructor destroys).
// Aggregated, that is the outer object's last release of the inner unknown.
#include <windows.h>
#include <objsafe.h>

#include "AxPevlinResource.h"
#include "CComCompositeControl.h"
#include "CComDispatchImpl.h"
#include "CComModule.h"
#include "CComObjectRoot.h"
#include "IConnectionPointContainerImpl.h"
#include "IDataObjectImpl.h"
#include "IObjectSafetyImpl.h"
#include "IOleControlImpl.h"
#include "IOleInPlaceActiveObjectImpl.h"
#include "IOleInPlaceObjectWindowlessImpl.h"
#include "IOleObjectImpl.h"
#include "IPersistStorageImpl.h"
#include "IPersistStreamInitImpl.h"
#include "IProvideClassInfo2Impl.h"
#include "IQuickActivateImpl.h"
#include "ISpecifyPropertyPagesImpl.h"
#include "ISupportErrorInfoImpl.h"
#include "IViewObjectExImpl.h"
#include "Ipevlin.h"
#include "PevlinState.h"
#include "PevlinWorkers.h"

class Cpevlin final : public CComObjectRoot,
                      public IDispatchImpl<Cpevlin, Ipevlin>,
                      public IPersistStreamInitImpl<Cpevlin>,
                      public IOleControlImpl<Cpevlin>,
                      public IOleObjectImpl<Cpevlin>,
                      public IOleInPlaceActiveObjectImpl<Cpevlin>,
                      public IViewObjectExImpl<Cpevlin>,
                      public IOleInPlaceObjectWindowlessImpl<Cpevlin>,
                      public ISupportErrorInfoImpl<Ipevlin>,
                      public IConnectionPointContainerImpl<Cpevlin>,
                      public IPersistStorageImpl<Cpevlin>,
                      public ISpecifyPropertyPagesImpl,
                      public IQuickActivateImpl<Cpevlin>,
                      public IDataObjectImpl<Cpevlin>,
                      public IProvideClassInfo2Impl<Cpevlin>,
                      public IObjectSafetyImpl<Cpevlin, INTERFACESAFE_FOR_UNTRUSTED_CALLER>,
                      public CComCompositeControl<Cpevlin> {
public:
    enum { IDD = IDD_PEVLIN };

    Cpevlin();
    ~Cpevlin() override;

    DECLARE_COM_UNKNOWN()
    static const CComInterfaceEntry* GetInterfaceEntries();
    static const CLSID& GetObjectCLSID() { return kClsidPevlin; }
    static const IID& GetSourceIID() { return kDiidIpevlinEvents; }
    // Set client site first, activate when visible, inside-out, can't link inside, recompose
    // on resize.
    static DWORD GetMiscStatus() { return 0x20191; }

    // Ipevlin
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL enabled) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* enabled) override;
    HRESULT STDMETHODCALLTYPE ExecuteLSQ() override { return Execute(kPevlinLSQ); }
    HRESULT STDMETHODCALLTYPE ExecuteISP() override { return Execute(kPevlinISP); }
    HRESULT STDMETHODCALLTYPE ExecuteV6TR() override { return Execute(kPevlinV6TR); }
    HRESULT STDMETHODCALLTYPE ExecuteVELDIN() override { return Execute(kPevlinVELDIN); }
    HRESULT STDMETHODCALLTYPE put_CheckURL(BSTR url) override { return StoreText(m_state.CheckURL, url); }
    HRESULT STDMETHODCALLTYPE put_LogPath(BSTR path) override { return StoreText(m_state.LogPath, path); }
    HRESULT STDMETHODCALLTYPE put_CompanyCode(BSTR code) override { return StoreText(m_state.CompanyCode, code); }
    HRESULT STDMETHODCALLTYPE put_RetryV6(LONG tries) override;
    HRESULT STDMETHODCALLTYPE put_RetryNB(LONG tries) override;
    HRESULT STDMETHODCALLTYPE put_RetryNA1(LONG tries) override;
    HRESULT STDMETHODCALLTYPE get_Version(LONG* version) override;
    HRESULT STDMETHODCALLTYPE get_RtnCode(LONG* code) override;

    // CComControlBase
    IOleObject* ControlOleObject() override { return this; }
    IOleInPlaceActiveObject* ControlActiveObject() override { return this; }
    void FireOnChanged(DISPID id) override { FirePropertyChanged(id); }

    // IPersistStreamInitImpl, IPersistStorageImpl: what a container keeps of the control is
    // what the container itself changes, the extent and the stock Enabled; the diagnostics'
    // properties come from the page's script on every visit.
    void InitProperties();
    HRESULT WriteProperties(IStream* stream);
    HRESULT ReadProperties(IStream* stream);
    static ULONG PropertiesSize();

    PevlinState& State() { return m_state; }

    BEGIN_MSG_MAP(Cpevlin)
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
        COMMAND_ID_HANDLER(IDC_PEVLIN_ABORT, OnAbort)
        COMMAND_ID_HANDLER(IDC_PEVLIN_CONNECT, OnConnect)
    END_MSG_MAP()

private:
    // The frame every Execute method runs: worker on its own thread, messages pumped here.
    HRESULT Execute(PevlinMethod method);
    // Pumps until worker ends; false when WM_QUIT came first (its exit code in *quitCode).
    bool PumpUntilEnded(HANDLE worker, WPARAM* quitCode);
    static HRESULT StoreText(CString& stored, BSTR text);

    LRESULT OnShowWindow(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnAbort(WORD code, WORD, HWND, BOOL& handled);
    LRESULT OnConnect(WORD code, WORD, HWND, BOOL& handled);

    CComModuleObject m_moduleObject;
    PevlinState m_state;
    BOOL m_enabled = FALSE;
    bool m_running = false;
};

// The module's one class factory, for DllGetClassObject.
IClassFactory* PevlinClassFactory();
