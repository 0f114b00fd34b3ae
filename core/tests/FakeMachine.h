#pragma once
// A PC of the test's choosing behind the probes' system table: version, service pack,
// bitness, registry values, drives and memory. One machine is current at a time; the table
// reads whichever is current (also from the requirement check's worker thread, while the
// test thread waits for it).
#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <map>
#include <string>

#include "SystemApiTable.h"

struct FakeDrive {
    UINT type = DRIVE_FIXED;
    std::string device = "\\Device\\HarddiskVolume1";
    DWORD freeMb = 0;
};

struct FakeMachine {
    FakeMachine() = default;
    FakeMachine(const FakeMachine&) = delete;
    FakeMachine& operator=(const FakeMachine&) = delete;

    DWORD platform = VER_PLATFORM_WIN32_NT;
    DWORD major = 6;
    DWORD minor = 1;
    WORD servicePackMajor = 0;
    WORD servicePackMinor = 0;
    BYTE productType = VER_NT_WORKSTATION;
    bool hasProductInfo = false;
    DWORD productInfo = 0;
    bool wow64 = false;
    std::string systemFolder = "C:\\Windows\\system32";
    std::map<char, FakeDrive> drives;
    DWORDLONG totalPhysical = 0;
    // "view|path|name" -> value; view is "64" for the 64-bit view, else "".
    std::map<std::string, std::string> strings;
    std::map<std::string, DWORD> dwords;

    void SetString(const char* path, const char* name, const std::string& value, bool view64 = false)
    {
        strings[Key(view64 ? KEY_WOW64_64KEY : 0, path, name)] = value;
    }
    void SetDword(const char* path, const char* name, DWORD value, bool view64 = false)
    {
        dwords[Key(view64 ? KEY_WOW64_64KEY : 0, path, name)] = value;
    }

    static std::string Key(REGSAM view, const char* path, const char* name)
    {
        return std::string((view & KEY_WOW64_64KEY) ? "64" : "") + "|" + path + "|" + name;
    }

    // Makes this machine the one the table probes while it lives.
    const SystemApiTable* Table()
    {
        Current() = this;
        return &kTable;
    }
    ~FakeMachine()
    {
        if (Current() == this)
            Current() = nullptr;
    }

    static FakeMachine*& Current()
    {
        static FakeMachine* machine = nullptr;
        return machine;
    }

private:
    static BOOL PathMatchSpecFake(const char* file, const char* spec) { return PathMatchSpecA(file, spec); }
    static BOOL PathStripToRootFake(char* path) { return PathStripToRootA(path); }
    static BOOL MemoryStatus(MEMORYSTATUSEX* status)
    {
        status->ullTotalPhys = Current()->totalPhysical;
        return TRUE;
    }
    static const FakeDrive* Drive(const char* name)
    {
        const auto found = Current()->drives.find(name[0]);
        return found == Current()->drives.end() ? nullptr : &found->second;
    }
    static DWORD QueryDosDeviceFake(const char* device, char* target, DWORD size)
    {
        const FakeDrive* drive = Drive(device);
        if (!drive || drive->device.size() + 2 > size)
            return 0;
        std::memcpy(target, drive->device.c_str(), drive->device.size() + 1);
        target[drive->device.size() + 1] = '\0';
        return DWORD(drive->device.size() + 2);
    }
    static BOOL DiskFreeSpace(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector, DWORD* freeClusters,
                              DWORD* totalClusters)
    {
        const FakeDrive* drive = Drive(root);
        if (!drive)
            return FALSE;
        *sectorsPerCluster = 8;
        *bytesPerSector = 512;
        *freeClusters = drive->freeMb * 256;  // 4096-byte clusters
        *totalClusters = *freeClusters;
        return TRUE;
    }
    static BOOL VersionEx(OSVERSIONINFOEXA* info)
    {
        const FakeMachine& m = *Current();
        info->dwPlatformId = m.platform;
        info->dwMajorVersion = m.major;
        info->dwMinorVersion = m.minor;
        info->wServicePackMajor = m.servicePackMajor;
        info->wServicePackMinor = m.servicePackMinor;
        info->wProductType = m.productType;
        return TRUE;
    }
    static BOOL ProductInfo(DWORD, DWORD, DWORD, DWORD, DWORD* type)
    {
        *type = Current()->productInfo;
        return Current()->hasProductInfo;
    }
    static UINT SystemDirectory(char* buffer, UINT size)
    {
        const std::string& folder = Current()->systemFolder;
        if (folder.size() + 1 > size)
            return UINT(folder.size() + 1);
        std::memcpy(buffer, folder.c_str(), folder.size() + 1);
        return UINT(folder.size());
    }
    static DWORD LogicalDrives()
    {
        DWORD mask = 0;
        for (const auto& drive : Current()->drives)
            mask |= 1u << (drive.first - 'A');
        return mask;
    }
    static UINT DriveType(const char* root)
    {
        const FakeDrive* drive = Drive(root);
        return drive ? drive->type : DRIVE_NO_ROOT_DIR;
    }
    static BOOL Wow64() { return Current()->wow64; }
    static LONG RegString(HKEY, const char* path, const char* name, REGSAM view, CString& value)
    {
        const auto found = Current()->strings.find(Key(view, path, name));
        if (found == Current()->strings.end())
            return ERROR_FILE_NOT_FOUND;
        value = found->second.c_str();
        return ERROR_SUCCESS;
    }
    static LONG RegDword(HKEY, const char* path, const char* name, REGSAM view, DWORD& value)
    {
        const auto found = Current()->dwords.find(Key(view, path, name));
        if (found == Current()->dwords.end())
            return ERROR_FILE_NOT_FOUND;
        value = found->second;
        return ERROR_SUCCESS;
    }

    static inline const SystemApiTable kTable = {
        &PathMatchSpecFake, &PathStripToRootFake, &MemoryStatus, &QueryDosDeviceFake, &DiskFreeSpace,
        &VersionEx,         &ProductInfo,         &SystemDirectory, &LogicalDrives,   &DriveType,
        &Wow64,             &RegString,           &RegDword,
    };
};

// Registry places the probes read.
constexpr const char kFakeCpuKey[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr const char kFakeBrowserKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";
constexpr const char kFakeCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
