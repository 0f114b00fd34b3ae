#pragma once
// The support staff's settings file "Axpevlin.ini" beside the process's own program (the
// browser's). Read afresh at each call, never written; a missing file or key gives the default.
#include "CStringT.h"

class CPevlinSettings {
public:
    // The file beside the process's program.
    CPevlinSettings();
    explicit CPevlinSettings(const char* filePath) : m_path(filePath) {}

    const CString& FilePath() const { return m_path; }

    // [ExecuteVELDIN] checkRetryNumber: extra tries of each retry loop; not a number gives 0.
    int CheckRetryNumber() const;
    // [ExecuteVELDIN] IPv6Address: the text looked for in ipconfig's output.
    CString IPv6Address() const;
    // [ExecuteVELDIN] pppoe_userid / pppoe_passwd: the default dial-up account.
    CString PppoeUserId() const;
    CString PppoePassword() const;
    // [COMMON] VistaCloseWin: on when the value contains "true" (lower case).
    bool VistaCloseWin() const;

    // The folder of the process's program + "\Axpevlin.ini".
    static CString DefaultPath();

private:
    CString Read(const char* section, const char* key, const char* fallback, int size) const;

    CString m_path;
};
