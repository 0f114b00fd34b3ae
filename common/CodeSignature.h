#pragma once
// Authenticode check of a downloaded program before it runs with administrator rights.
#include <windows.h>

#include "CStringT.h"

// The definition keys naming the publisher each kind of download must be signed by. Only the
// local definition may set them: the loader of downloaded definitions refuses both.
constexpr const char kSecuritySoftwarePublisherKey[] = "COMMON_SIGNER_XGINSTALLER";
constexpr const char kOwnUpdatePublisherKey[] = "COMMON_SIGNER_KAVOUPDATE";
bool IsPublisherKey(const char* key);

enum class SignatureVerdict {
    Trusted,
    NoExpectedPublisher,  // nothing can be trusted without one
    Unreadable,           // the file cannot be opened
    NotTrusted,           // WinVerifyTrust refused it: no signature, changed bytes, ...
    ChainError,           // the signer's chain has an error: untrusted root, expired, ...
    NotForCodeSigning,    // the signer's certificate lacks the code-signing usage
    OtherPublisher,       // the signer is someone else
};

struct SignatureCheck {
    SignatureVerdict verdict = SignatureVerdict::Unreadable;
    // WinVerifyTrust's answer; 0 when it was not asked.
    LONG trustResult = 0;
    // The signer's chain error status (CERT_TRUST_* bits); 0 when no chain was built.
    DWORD chainErrors = 0;
    // The signer's subject name; empty when no signer was found.
    CString subject;
};

// Runs the program only when every check holds: WinVerifyTrust (generic verify action, no UI)
// returns 0, the signer's chain has no error status, its certificate allows code signing and
// its subject name equals expectedPublisher (case-sensitive; an empty one trusts nothing).
// file, when not INVALID_HANDLE_VALUE, is an open handle to path: the bytes checked are those
// of that handle, so a holder that denies writing may run what was checked.
SignatureCheck VerifyCodeSignature(const char* path, const char* expectedPublisher,
                                   HANDLE file = INVALID_HANDLE_VALUE);

// One line for the log saying why the check came out as it did.
CString DescribeSignatureCheck(const SignatureCheck& check);
