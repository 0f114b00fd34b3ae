#pragma once
// Class and interface ids the double answers to that mingw-w64's import libraries lack, and
// the dispatch ids of the browser events it fires.
#include <windows.h>
#include <oaidl.h>

namespace scripted {

extern const CLSID kClsidWebBrowser;        // {8856F961-340A-11D0-A96B-00C04FD705A2}
extern const IID kDiidWebBrowserEvents2;    // {34A715A0-6587-11D0-924A-0020AFC7AC4D}
extern const GUID kCgidMshtml;              // {DE4BA900-59CA-11CF-9592-444553540000}

enum : DISPID {
    kDispidCommandStateChange = 105,
    kDispidBeforeNavigate2 = 250,
    kDispidNavigateComplete2 = 252,
    kDispidDocumentComplete = 259,
    kDispidNavigateError = 271,
    kDispidNewWindow3 = 273,
};

// Navigate2 flag that asks for a new window instead of navigating this one.
constexpr long kNavOpenInNewWindow = 1;
// The status a browser reports for an address it will not or cannot reach.
constexpr long kInetCannotConnect = static_cast<long>(0x800C0004);
constexpr long kInetResourceNotFound = static_cast<long>(0x800C0005);
constexpr long kInetDownloadFailure = static_cast<long>(0x800C0008);
constexpr long kInetConnectionTimeout = static_cast<long>(0x800C000B);
constexpr long kInetRedirectFailed = static_cast<long>(0x800C0014);
constexpr long kInetInvalidCertificate = static_cast<long>(0x800C0019);

// CommandStateChange commands.
constexpr long kCscUpdateCommands = -1;
constexpr long kCscNavigateForward = 1;
constexpr long kCscNavigateBack = 2;

// NewWindow3 flags: NWMF_USERINITED | NWMF_FIRST, the first new window a user's own click
// asked for (a plain click on a link or form whose target is "_blank").
constexpr long kNewWindowUserClick = 0x2 | 0x4;

}  // namespace scripted
