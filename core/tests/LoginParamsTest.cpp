#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "CRegKey.h"
#include "CTextDef.h"
#include "LoginParams.h"

namespace {

// Each run keeps its data under a key of its own, removed afterwards.
class LoginParamsTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_path = "Software\\KavoTests\\LoginParams-" + std::to_string(GetCurrentProcessId());
        CTextDef::SetText("COMMON_REG_HKCU_KAVO", ("HKEY_CURRENT_USER\\" + m_path).c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
    }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str()); }

    std::vector<BYTE> Stored()
    {
        CRegKey key;
        CSimpleArray<BYTE> data;
        if (key.Open(HKEY_CURRENT_USER, m_path.c_str(), KEY_READ) != ERROR_SUCCESS ||
            key.QueryBinaryValue("LoginParams", data) != ERROR_SUCCESS)
            return {};
        return std::vector<BYTE>(data.GetData(), data.GetData() + data.GetSize());
    }

    std::string m_path;
};

TEST_F(LoginParamsTest, StoresTheKnownCipherBytesAndReadsThemBack)
{
    ASSERT_TRUE(SaveLoginParams("a", "b"));
    EXPECT_EQ(Stored(), (std::vector<BYTE>{0x13, 0xd4, 0x2c, 0x23, 0x29}));
    CString id;
    CString key;
    ASSERT_TRUE(LoadLoginParams(id, key));
    EXPECT_STREQ(id, "a");
    EXPECT_STREQ(key, "b");
}

TEST_F(LoginParamsTest, JapaneseAndLongValuesSurviveTheRoundTrip)
{
    const std::string id = "顧客ＩＤ0123456789";
    const std::string access(200, 'k');
    ASSERT_TRUE(SaveLoginParams(id.c_str(), access.c_str()));
    EXPECT_EQ(Stored().size(), id.size() + access.size() + 3);
    CString loadedId;
    CString loadedKey;
    ASSERT_TRUE(LoadLoginParams(loadedId, loadedKey));
    EXPECT_EQ(std::string(loadedId), id);
    EXPECT_EQ(std::string(loadedKey), access);
}

TEST_F(LoginParamsTest, EmptyCustomerIdLoadsTheKeyAsTheIdAndLeavesTheKeyAlone)
{
    ASSERT_TRUE(SaveLoginParams("", "secret"));
    CString id = "old id";
    CString key = "old key";
    ASSERT_TRUE(LoadLoginParams(id, key));
    EXPECT_STREQ(id, "secret");
    EXPECT_STREQ(key, "old key");
}

TEST_F(LoginParamsTest, MissingValueOrKeyChangesNothing)
{
    CString id = "id";
    CString key = "key";
    EXPECT_FALSE(LoadLoginParams(id, key)) << "no registry key yet";
    ASSERT_TRUE(SaveLoginParams("x", "y"));
    DeleteLoginParams();
    EXPECT_TRUE(Stored().empty());
    EXPECT_TRUE(LoadLoginParams(id, key));
    EXPECT_STREQ(id, "id");
    EXPECT_STREQ(key, "key");
    DeleteLoginParams();
}

TEST_F(LoginParamsTest, SavingWhereNoKeyCanBeMadeFails)
{
    CTextDef::SetText("COMMON_REG_HKCU_KAVO", "NOWHERE\\Software\\KavoTests");
    EXPECT_FALSE(SaveLoginParams("a", "b"));
}

// The key exists, but the value cannot be written into it: the sign-in data is lost, and the
// caller must hear so.
TEST_F(LoginParamsTest, SavingFailsWhenTheWriteIntoTheCreatedKeyFails)
{
    const LoginValueWriter previous =
        SetLoginValueWriter([](HKEY, const char*, const BYTE*, DWORD) -> LONG { return ERROR_ACCESS_DENIED; });
    const BOOL saved = SaveLoginParams("a", "b");
    SetLoginValueWriter(previous);
    EXPECT_FALSE(saved);
    CRegKey key;
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, m_path.c_str(), KEY_READ), ERROR_SUCCESS) << "the key was not created";
    EXPECT_TRUE(Stored().empty());

    // The real write again.
    EXPECT_TRUE(SaveLoginParams("a", "b"));
    EXPECT_EQ(Stored().size(), 5u);
}

}  // namespace
