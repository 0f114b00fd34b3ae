#pragma once
// The names the core library's page factory takes, shared with the main program, which has
// none of the page classes: every page class once, with the screen ids that start the main
// program on it, and the test for an error code. Header only: the main program includes
// nothing else of the core library. A new page class is one more line of the list.
#include <cstring>

// PAGE(class, made by its class name, start screen id, second start screen id); a screen id
// is nullptr where there is none.
#define KAVO_PAGE_LIST(PAGE)                                          \
    PAGE(CLoginDialog, true, "A_N07", nullptr)                        \
    PAGE(CStatusDialog, true, "A_N08", nullptr)                       \
    PAGE(CModifyStatusDialog, true, "A_N08_2", nullptr)               \
    PAGE(CStartDialog, true, "B_N01", nullptr)                        \
    PAGE(CCheckComputerDialog, true, "B_N02", "B_N03")                \
    PAGE(CEULADialog, true, "B_N04", nullptr)                         \
    PAGE(CPreSignupDialog, true, "B_N05", nullptr)                    \
    PAGE(CSignupDialog, true, "B_N05_2", nullptr)                     \
    PAGE(CPostSignupDialog, true, "B_N06", nullptr)                   \
    PAGE(CRegClientDialog, true, "B_N07", nullptr)                    \
    PAGE(CPreInstallDialog, true, "B_N08", nullptr)                   \
    PAGE(CExternalEULADialog, false, nullptr, nullptr)                \
    PAGE(CInstallDialog, true, "B_N09", nullptr)                      \
    PAGE(CPostInstallDialog, true, "B_N10", nullptr)                  \
    PAGE(CInstallFailedDialog, true, "B_E09", nullptr)                \
    PAGE(CPreCancelDialog, true, "C_N01", nullptr)                    \
    PAGE(CPostCancelDialog, true, "C_N02", nullptr)                   \
    PAGE(CShortDialog, true, "B_E02_2", nullptr)                      \
    PAGE(CShortHDDDialog, true, "B_E02_HDD_2", nullptr)               \
    PAGE(CShortAppDialog, true, "B_E02_SOFT_2", nullptr)              \
    PAGE(CErrorDialog, true, nullptr, nullptr)                        \
    PAGE(CPreUpgradeDialog, true, "D_N01", nullptr)                   \
    PAGE(CUpgradeEULADialog, true, "D_N03", nullptr)                  \
    PAGE(CUpgradeFailedDialog, true, "D_E05", nullptr)                \
    PAGE(CUpgradeShortDialog, true, "D_E02_2", nullptr)               \
    PAGE(CUpgradeShortAppDialog, true, "D_E02_SOFT_2", nullptr)       \
    PAGE(CUpgradeShortHDDDialog, true, "D_E02_HDD_2", nullptr)        \
    PAGE(CPostUpgradeDialog, true, "D_N05", nullptr)                  \
    PAGE(COPSProgressDialog, true, nullptr, nullptr)                  \
    PAGE(CMotdDialog, false, nullptr, nullptr)

struct PageName {
    const char* className;
    bool byName;              // false: only pages and sequences make it
    const char* startIds[2];  // null where there is none
};

#define KAVO_PAGE_NAME_ROW(pageClass, byName, firstId, secondId) {#pageClass, byName, {firstId, secondId}},
inline constexpr PageName kPageNames[] = {KAVO_PAGE_LIST(KAVO_PAGE_NAME_ROW)};
#undef KAVO_PAGE_NAME_ROW

// An order-system ("EWS") or installer ("EXG") code, which names the page that explains it.
inline bool IsErrorCode(const char* name)
{
    return name && (std::strncmp(name, "EWS", 3) == 0 || std::strncmp(name, "EXG", 3) == 0);
}
