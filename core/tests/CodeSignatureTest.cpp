#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "CTextDef.h"
#include "CodeSignature.h"
#include "ExternalDefinitions.h"
#include "KavoTestPaths.h"
#include "TestCodeSigning.h"

namespace {

constexpr DWORD kUntrustedRoot = CERT_TRUST_IS_UNTRUSTED_ROOT;
constexpr DWORD kExpired = CERT_TRUST_IS_NOT_TIME_VALID;

class CodeSignatureTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(TrustTestRoot()); }
};

TEST_F(CodeSignatureTest, OnlyTheTrustedPublishersCodeSigningSignaturePasses)
{
    struct Case {
        const char* variant;
        SignatureVerdict verdict;
        // Bits that must be set in the signer's chain status.
        DWORD chainErrors;
        const char* subject;
    };
    const Case cases[] = {
        {"signed", SignatureVerdict::Trusted, 0, kTestPublisher},
        {"tampered", SignatureVerdict::NotTrusted, 0, nullptr},
        {"unsigned", SignatureVerdict::NotTrusted, 0, ""},
        {"untrusted", SignatureVerdict::ChainError, kUntrustedRoot, kTestPublisher},
        {"expired", SignatureVerdict::ChainError, kExpired, kTestPublisher},
        {"serverauth", SignatureVerdict::NotForCodeSigning, 0, kTestPublisher},
        {"other", SignatureVerdict::OtherPublisher, 0, "KAVO Other Publisher"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        const SignatureCheck check = VerifyCodeSignature(SignedPackage(c.variant).c_str(), kTestPublisher);
        EXPECT_EQ(check.verdict, c.verdict) << DescribeSignatureCheck(check).GetString();
        EXPECT_EQ(check.chainErrors & c.chainErrors, c.chainErrors);
        if (c.subject) {
            EXPECT_STREQ(check.subject, c.subject);
        }
        if (c.verdict == SignatureVerdict::NotTrusted) {
            EXPECT_NE(check.trustResult, 0);
        }
    }
}

TEST_F(CodeSignatureTest, TheHeldHandlesBytesAreChecked)
{
    const std::string path = SignedPackage("signed");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(VerifyCodeSignature(path.c_str(), kTestPublisher, held).verdict, SignatureVerdict::Trusted);
    // The handle decides, not the name: the changed package's bytes behind the good one's name.
    HANDLE tampered = CreateFileA(SignedPackage("tampered").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(tampered, INVALID_HANDLE_VALUE);
    EXPECT_EQ(VerifyCodeSignature(path.c_str(), kTestPublisher, tampered).verdict, SignatureVerdict::NotTrusted);
    CloseHandle(tampered);
    CloseHandle(held);
}

TEST_F(CodeSignatureTest, WithoutAnExpectedPublisherOrAFileNothingIsTrusted)
{
    const std::string good = SignedPackage("signed");
    struct Case {
        const char* name;
        const char* path;
        const char* publisher;
        SignatureVerdict verdict;
    };
    const Case cases[] = {
        {"no publisher", good.c_str(), nullptr, SignatureVerdict::NoExpectedPublisher},
        {"empty publisher", good.c_str(), "", SignatureVerdict::NoExpectedPublisher},
        {"publisher differs in case", good.c_str(), "kavo test publisher", SignatureVerdict::OtherPublisher},
        {"publisher is a prefix", good.c_str(), "KAVO Test", SignatureVerdict::OtherPublisher},
        {"missing file", "C:\\kavo-no-such-package.exe", kTestPublisher, SignatureVerdict::Unreadable},
        {"null path", nullptr, kTestPublisher, SignatureVerdict::Unreadable},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VerifyCodeSignature(c.path, c.publisher).verdict, c.verdict) << c.name;
}

TEST(CodeSignatureKeys, BothPublisherKeysAndNoOtherAreProtected)
{
    EXPECT_TRUE(IsPublisherKey("COMMON_SIGNER_XGINSTALLER"));
    EXPECT_TRUE(IsPublisherKey("COMMON_SIGNER_KAVOUPDATE"));
    for (const char* key : {"COMMON_SIGNER", "COMMON_SIGNER_XGINSTALLER ", "common_signer_xginstaller", "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(IsPublisherKey(key)) << (key ? key : "(null)");
}

TEST(CodeSignatureKeys, DownloadedDefinitionsCannotChangeAnExpectedPublisher)
{
    for (const char* key : {kSecuritySoftwarePublisherKey, kOwnUpdatePublisherKey}) {
        SCOPED_TRACE(key);
        CTextDef::SetText(key, "Local Publisher");
        EXPECT_FALSE(ApplyDownloadedText(key, "Someone Else"));
        EXPECT_STREQ(CTextDef::GetText(key), "Local Publisher");
    }
    EXPECT_TRUE(ApplyDownloadedText("COMMON_CT_PRODUCTID", "downloaded"));
    EXPECT_STREQ(CTextDef::GetText("COMMON_CT_PRODUCTID"), "downloaded");
}

}  // namespace
