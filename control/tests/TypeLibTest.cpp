// The type library bound into the library, as a scripting host reads it: ids, slots, help
// strings and argument types of every member, and the coclass's interfaces.
#include <olectl.h>

#include "ControlTestSupport.h"

namespace {

class TypeLibrary : public ComApartment {
protected:
    void SetUp() override
    {
        ComApartment::SetUp();
        ASSERT_EQ(LoadTypeLib(static_cast<const wchar_t*>(CA2W(ControlLibraryPath().c_str())), &m_library), S_OK);
    }
    void TearDown() override
    {
        m_library.Release();
        ComApartment::TearDown();
    }

    std::string HelpString(ITypeInfo* info, MEMBERID id, std::string* name = nullptr)
    {
        BSTR memberName = nullptr;
        BSTR help = nullptr;
        EXPECT_EQ(info->GetDocumentation(id, &memberName, &help, nullptr, nullptr), S_OK);
        if (name)
            *name = Narrow(memberName);
        const std::string text = Narrow(help);
        SysFreeString(memberName);
        SysFreeString(help);
        return text;
    }

    CComPtr<ITypeLib> m_library;
};

TEST_F(TypeLibrary, InterfaceSlotsIdsAndHelpStringsAreThePagesContract)
{
    struct Member {
        const char* name;
        INVOKEKIND kind;
        MEMBERID id;
        int slot;
        VARTYPE argument;  // VT_EMPTY: none
        const char* help;
    };
    const Member members[] = {
        {"Enabled", INVOKE_PROPERTYPUT, DISPID_ENABLED, 7, VT_BOOL, ""},
        {"Enabled", INVOKE_PROPERTYGET, DISPID_ENABLED, 8, VT_PTR, ""},
        {"ExecuteLSQ", INVOKE_FUNC, 1, 9, VT_EMPTY, "ﾒｿｯﾄﾞ ExecuteLSQ"},
        {"ExecuteISP", INVOKE_FUNC, 2, 10, VT_EMPTY, "ﾒｿｯﾄﾞ ExecuteISP"},
        {"ExecuteV6TR", INVOKE_FUNC, 3, 11, VT_EMPTY, "ﾒｿｯﾄﾞ ExecuteV6TR"},
        {"ExecuteVELDIN", INVOKE_FUNC, 12, 12, VT_EMPTY, "ﾒｿｯﾄﾞ ExecuteVELDIN"},
        {"CheckURL", INVOKE_PROPERTYPUT, 4, 13, VT_BSTR, "ﾌﾟﾛﾊﾟﾃｨ CheckURL"},
        {"LogPath", INVOKE_PROPERTYPUT, 5, 14, VT_BSTR, "ﾌﾟﾛﾊﾟﾃｨ LogPath"},
        {"CompanyCode", INVOKE_PROPERTYPUT, 6, 15, VT_BSTR, "ﾌﾟﾛﾊﾟﾃｨ CompanyCode"},
        {"RetryV6", INVOKE_PROPERTYPUT, 7, 16, VT_I4, "ﾌﾟﾛﾊﾟﾃｨ RetryV6"},
        {"RetryNB", INVOKE_PROPERTYPUT, 8, 17, VT_I4, "ﾌﾟﾛﾊﾟﾃｨ RetryNB"},
        {"RetryNA1", INVOKE_PROPERTYPUT, 9, 18, VT_I4, "ﾌﾟﾛﾊﾟﾃｨ RetryNA1"},
        {"Version", INVOKE_PROPERTYGET, 10, 19, VT_PTR, "ﾌﾟﾛﾊﾟﾃｨ Version"},
        {"RtnCode", INVOKE_PROPERTYGET, 11, 20, VT_PTR, "ﾌﾟﾛﾊﾟﾃｨ RtnCode"},
    };

    CComPtr<ITypeInfo> dispatch;
    ASSERT_EQ(m_library->GetTypeInfoOfGuid(kIidIpevlin, &dispatch), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(dispatch->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    dispatch->ReleaseTypeAttr(attributes);
    EXPECT_EQ(HelpString(dispatch, MEMBERID_NIL), "Ipevlin Interface");

    // The vtable half, whose members carry the slots.
    HREFTYPE vtableHalf = 0;
    CComPtr<ITypeInfo> vtable;
    ASSERT_EQ(dispatch->GetRefTypeOfImplType(-1, &vtableHalf), S_OK);
    ASSERT_EQ(dispatch->GetRefTypeInfo(vtableHalf, &vtable), S_OK);
    ASSERT_EQ(vtable->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
    ASSERT_EQ(attributes->cFuncs, WORD(sizeof members / sizeof members[0]));
    vtable->ReleaseTypeAttr(attributes);

    for (UINT i = 0; i < sizeof members / sizeof members[0]; ++i) {
        const Member& expected = members[i];
        FUNCDESC* function = nullptr;
        ASSERT_EQ(vtable->GetFuncDesc(i, &function), S_OK);
        SCOPED_TRACE(std::string(expected.name) + " #" + std::to_string(i));
        EXPECT_EQ(function->memid, expected.id);
        EXPECT_EQ(function->invkind, expected.kind);
        EXPECT_EQ(function->oVft / int(sizeof(void*)), expected.slot);
        EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_HRESULT);
        if (expected.argument == VT_EMPTY) {
            EXPECT_EQ(function->cParams, 0);
        } else {
            ASSERT_EQ(function->cParams, 1);
            EXPECT_EQ(function->lprgelemdescParam[0].tdesc.vt, expected.argument);
        }
        std::string name;
        EXPECT_EQ(HelpString(vtable, function->memid, &name), expected.help);
        EXPECT_EQ(name, expected.name);
        vtable->ReleaseFuncDesc(function);

        // Scripts find the member by its name.
        DISPID id = 0;
        const std::wstring wide = Wide(expected.name);
        LPOLESTR names[] = {const_cast<LPOLESTR>(wide.c_str())};
        EXPECT_EQ(dispatch->GetIDsOfNames(names, 1, &id), S_OK);
        EXPECT_EQ(id, expected.id);
    }
}

TEST_F(TypeLibrary, LibraryCoclassAndEventInterfaceCarryTheirIdsAndNames)
{
    TLIBATTR* libraryAttributes = nullptr;
    ASSERT_EQ(m_library->GetLibAttr(&libraryAttributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(libraryAttributes->guid, kLibidAxPevlin));
    EXPECT_EQ(libraryAttributes->wMajorVerNum, 1);
    EXPECT_EQ(libraryAttributes->wMinorVerNum, 0);
    m_library->ReleaseTLibAttr(libraryAttributes);
    BSTR name = nullptr;
    BSTR help = nullptr;
    ASSERT_EQ(m_library->GetDocumentation(-1, &name, &help, nullptr, nullptr), S_OK);
    EXPECT_EQ(Narrow(name), "AXPEVLINLib");
    EXPECT_EQ(Narrow(help), "AxPevlin 1.0 ﾀｲﾌﾟ ﾗｲﾌﾞﾗﾘ");
    SysFreeString(name);
    SysFreeString(help);

    CComPtr<ITypeInfo> coclass;
    ASSERT_EQ(m_library->GetTypeInfoOfGuid(kClsidPevlin, &coclass), S_OK);
    std::string coclassName;
    EXPECT_EQ(HelpString(coclass, MEMBERID_NIL, &coclassName), "pevlin Class");
    EXPECT_EQ(coclassName, "pevlin");
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
    ASSERT_EQ(attributes->cImplTypes, 2);
    coclass->ReleaseTypeAttr(attributes);
    struct Implemented {
        GUID iid;
        int flags;
    };
    const Implemented implemented[] = {{kIidIpevlin, IMPLTYPEFLAG_FDEFAULT},
                                       {kDiidIpevlinEvents, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}};
    for (UINT i = 0; i < 2; ++i) {
        INT flags = 0;
        HREFTYPE reference = 0;
        CComPtr<ITypeInfo> info;
        ASSERT_EQ(coclass->GetImplTypeFlags(i, &flags), S_OK);
        EXPECT_EQ(flags, implemented[i].flags);
        ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &reference), S_OK);
        ASSERT_EQ(coclass->GetRefTypeInfo(reference, &info), S_OK);
        ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
        EXPECT_TRUE(IsEqualGUID(attributes->guid, implemented[i].iid)) << i;
        info->ReleaseTypeAttr(attributes);
    }

    CComPtr<ITypeInfo> events;
    ASSERT_EQ(m_library->GetTypeInfoOfGuid(kDiidIpevlinEvents, &events), S_OK);
    EXPECT_EQ(HelpString(events, MEMBERID_NIL), "_IpevlinEvents Interface");
    ASSERT_EQ(events->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
    // No event of its own.
    EXPECT_EQ(attributes->cFuncs, 0);
    events->ReleaseTypeAttr(attributes);
}

}  // namespace
