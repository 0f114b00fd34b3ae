#include <gtest/gtest.h>

#include <windows.h>

#include "CRegKey.h"
#include "DnsClientSetting.h"

namespace {

constexpr const char kKey[] = "system\\currentcontrolset\\services\\dnscache\\parameters";

// The prefix's own value is put back afterwards.
class DnsClientSetting : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, kKey, KEY_ALL_ACCESS), ERROR_SUCCESS);
        hadValue = key.QueryDWORDValue("AddrConfigControl", oldValue) == ERROR_SUCCESS;
        key.DeleteValue("AddrConfigControl");
    }
    void TearDown() override
    {
        if (hadValue)
            key.SetDWORDValue("AddrConfigControl", oldValue);
        else
            key.DeleteValue("AddrConfigControl");
    }

    CRegKey key;
    bool hadValue = false;
    DWORD oldValue = 0;
};

TEST_F(DnsClientSetting, MissingValueIsWrittenAsZero)
{
    EXPECT_FALSE(HasAddrConfigControl());
    ASSERT_TRUE(SetAddrConfigControl());
    EXPECT_TRUE(HasAddrConfigControl());
    DWORD value = 7;
    ASSERT_EQ(key.QueryDWORDValue("AddrConfigControl", value), ERROR_SUCCESS);
    EXPECT_EQ(value, 0u);
}

TEST_F(DnsClientSetting, ValueOfAnyTypeCountsAsPresent)
{
    ASSERT_EQ(key.SetStringValue("AddrConfigControl", "1"), ERROR_SUCCESS);
    EXPECT_TRUE(HasAddrConfigControl());
}

}  // namespace
