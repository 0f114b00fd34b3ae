#pragma once
#include "CGdiObjects.h"
#include "CKAVODlg.h"
#include "resource.h"

class CInstallDialog : public CKAVODlg<CInstallDialog, IDD_INSTALL> {
public:
    static constexpr const char* kStepLetters = "IR";
    static constexpr bool kCloseEnabled = false;

    CInstallDialog();
    ~CInstallDialog() override;

    // One progress report of the installer: phase 0 preparing, 1 downloading (value 1 to
    // 100 a percentage, above 100 done), 2 installing. The steps up to the phase repaint,
    // as their colour follows the kept phase.
    void ShowProgressText(int phase, int value);

    int m_progressPhase = 0;
    int m_progressValue = 0;

private:
    // The mark of a finished step, shared by the step pictures that show it.
    CBitmap m_doneMark;

public:
    void InitTexts() override;
};
