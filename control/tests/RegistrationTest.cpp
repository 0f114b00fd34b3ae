// Self-registration as an installer and the browser see it: regsvr32 in the prefix, the
// registry read back, removal, and the exports' answers.
#include <comcat.h>

#include "ControlTestSupport.h"

namespace {

const std::string kClsidKey = std::string("CLSID\\") + kClsidPevlinText;
const char kScriptingCategory[] = "{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const char kInitializingCategory[] = "{7DD95802-9882-11CF-9FA9-00AA006C42C4}";
const char kLibidText[] = "{0A05DD02-F0FD-489B-936B-50DF0C2ED889}";

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(tolower(static_cast<unsigned char>(c)));
    return text;
}

class Registration : public ComApartment {};

TEST_F(Registration, WritesClassProgIdsTypeLibraryAndSafetyCategories)
{
    ASSERT_EQ(RunRegsvr32("/s"), 0u);
    const std::string module = ControlLibraryPath();
    struct Expected {
        std::string key;
        const char* name;
        std::string value;
    };
    const Expected values[] = {
        {"AxPevlin.pevlin.1", "", "pevlin Class"},
        {"AxPevlin.pevlin.1\\CLSID", "", kClsidPevlinText},
        {"AxPevlin.pevlin", "", "pevlin Class"},
        {"AxPevlin.pevlin\\CLSID", "", kClsidPevlinText},
        {"AxPevlin.pevlin\\CurVer", "", "AxPevlin.pevlin.1"},
        {kClsidKey, "", "pevlin Class"},
        {kClsidKey + "\\ProgID", "", "AxPevlin.pevlin.1"},
        {kClsidKey + "\\VersionIndependentProgID", "", "AxPevlin.pevlin"},
        {kClsidKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {kClsidKey + "\\MiscStatus", "", "0"},
        {kClsidKey + "\\MiscStatus\\1", "", "131473"},
        {kClsidKey + "\\TypeLib", "", kLibidText},
        {kClsidKey + "\\Version", "", "1.0"},
        {std::string("TypeLib\\") + kLibidText + "\\1.0", "", "AxPevlin 1.0 ﾀｲﾌﾟ ﾗｲﾌﾞﾗﾘ"},
        {std::string("Component Categories\\") + kScriptingCategory, "409", "Controls that are safely scriptable"},
        {std::string("Component Categories\\") + kInitializingCategory, "409",
         "Controls safely initializable from persistent data"},
    };
    for (const Expected& expected : values)
        EXPECT_EQ(ClassesValue(expected.key, expected.name), expected.value) << expected.key << " " << expected.name;

    // The module path as the loader gave it; the letter case may differ.
    EXPECT_EQ(Lower(ClassesValue(kClsidKey + "\\InprocServer32")), Lower(module));
    EXPECT_EQ(Lower(ClassesValue(kClsidKey + "\\ToolboxBitmap32")), Lower(module + ", 102"));
    for (const char* empty : {"\\Programmable", "\\Control", "\\Insertable"})
        EXPECT_TRUE(ClassesKeyExists(kClsidKey + empty)) << empty;
    for (const char* category : {kScriptingCategory, kInitializingCategory})
        EXPECT_TRUE(ClassesKeyExists(kClsidKey + "\\Implemented Categories\\" + category)) << category;

    CComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(kLibidAxPevlin, 1, 0, LOCALE_NEUTRAL, &library), S_OK);
    CComPtr<ITypeInfo> coclass;
    EXPECT_EQ(library->GetTypeInfoOfGuid(kClsidPevlin, &coclass), S_OK);

    EXPECT_EQ(RunRegsvr32("/u /s"), 0u);
}

TEST_F(Registration, RemovalTakesTheClassSubtreeAndLeavesTheSharedCategories)
{
    ASSERT_EQ(RunRegsvr32("/s"), 0u);
    ASSERT_EQ(RunRegsvr32("/u /s"), 0u);

    for (const std::string& gone : {kClsidKey, std::string("AxPevlin.pevlin.1"), std::string("AxPevlin.pevlin"),
                                    std::string("TypeLib\\") + kLibidText})
        EXPECT_FALSE(ClassesKeyExists(gone)) << gone;
    EXPECT_TRUE(ClassesKeyExists("CLSID"));
    for (const char* category : {kScriptingCategory, kInitializingCategory})
        EXPECT_TRUE(ClassesKeyExists(std::string("Component Categories\\") + category)) << category;
    CComPtr<ITypeLib> library;
    EXPECT_NE(LoadRegTypeLib(kLibidAxPevlin, 1, 0, LOCALE_NEUTRAL, &library), S_OK);
}

// The library loaded into the test, its exports called directly.
class LoadedLibrary : public ComApartment {
protected:
    void SetUp() override
    {
        ComApartment::SetUp();
        m_module = LoadLibraryA(ControlLibraryPath().c_str());
        ASSERT_NE(m_module, nullptr);
    }
    void TearDown() override
    {
        if (m_module)
            FreeLibrary(m_module);
        ComApartment::TearDown();
    }
    template <typename Function>
    Function Export(const char* name)
    {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
    }

    HMODULE m_module = nullptr;
};

TEST_F(LoadedLibrary, RegistrationReportsARegistryThatCannotBeWritten)
{
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto registerServer = Export<Entry>("DllRegisterServer");
    ASSERT_NE(registerServer, nullptr);

    // Classes root replaced by a key deleted after it was opened: every write under it fails.
    HKEY stale = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\KavoControlTestRoot", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &stale, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KavoControlTestRoot"), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, stale), ERROR_SUCCESS);
    const HRESULT hr = registerServer();
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(stale);

    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    // What the category manager wrote past the replaced root goes again.
    Export<Entry>("DllUnregisterServer")();
}

TEST_F(LoadedLibrary, HandsOutItsOneClassAndUnloadsOnlyWhenNothingIsLive)
{
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    const auto getClassObject = Export<GetClassObject>("DllGetClassObject");
    const auto canUnload = Export<CanUnload>("DllCanUnloadNow");
    ASSERT_NE(getClassObject, nullptr);
    ASSERT_NE(canUnload, nullptr);
    ASSERT_NE(Export<CanUnload>("DllUnregisterServer"), nullptr);

    CComPtr<IClassFactory> other;
    EXPECT_EQ(getClassObject(IID_IClassFactory, IID_IClassFactory, reinterpret_cast<void**>(&other)),
              CLASS_E_CLASSNOTAVAILABLE);
    CComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(kClsidPevlin, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(canUnload(), S_OK);

    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(canUnload(), S_OK);

    CComPtr<IUnknown> outer;
    CComPtr<IUnknown> aggregated;
    factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&outer));
    // An outer object must ask for the inner unknown.
    EXPECT_EQ(factory->CreateInstance(outer, IID_IDispatch, reinterpret_cast<void**>(&aggregated)),
              CLASS_E_NOAGGREGATION);

    CComPtr<IDispatch> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control)), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
    control.Release();
    EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
