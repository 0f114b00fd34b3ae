#pragma once
// The older systems the old-system test program runs as, and how a run learns which it is.
#include <cstdlib>
#include <cstring>

inline constexpr const char kOldSystemVariable[] = "PEVLIN_OLD_SYSTEM";

struct OldSystem {
    // The prefix's version word for the program.
    const char* wineVersion;
    // The OS name the control must report for it.
    const char* osName;
};

inline constexpr OldSystem kOldSystems[] = {{"winxp", "Windows XP"}, {"win2003", "Windows 2003"}};

// The system of this run; null when the program runs as the prefix's own system.
inline const OldSystem* CurrentOldSystem()
{
    const char* version = std::getenv(kOldSystemVariable);
    if (!version)
        return nullptr;
    for (const OldSystem& system : kOldSystems)
        if (std::strcmp(system.wineVersion, version) == 0)
            return &system;
    return nullptr;
}
