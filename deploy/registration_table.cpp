#include "deploy/registration_table.h"

#include "deploy/package_layout.h"
#include "hosts/host_contract.h"
#include "text/path_text.h"

namespace {

struct ReleaseModules {
    int release;
    ModuleNumbers numbers;
};

// Releases share modules: one main module serves 2023 to 2025, and one
// companion module 2024 to 2026.
constexpr ReleaseModules kReleaseModules[] = {
    {2023, {2023, 2023}},
    {2024, {2023, 2024}},
    {2025, {2023, 2024}},
    {2026, {2026, 2024}},
};

}  // namespace

bool GetModuleNumbers(int release, ModuleNumbers* numbers) {
    for (const ReleaseModules& row : kReleaseModules) {
        if (row.release == release) {
            *numbers = row.numbers;
            return true;
        }
    }
    return false;
}

CString MainEntryKeyName(int release) {
    CString name;
    name.Format("%s\\TX_ZozerIded%d", kApplicationsKey, release);
    return name;
}

CString CompanionEntryKeyName(int release) {
    CString name;
    name.Format("%s\\Torvex%dDLLP", kApplicationsKey, release);
    return name;
}

CString MainLoaderPath(const CString& installFolder, int mainNumber) {
    CString path;
    path.Format("%s\\TX_ZozerIded%d.GRX", installFolder.GetString(), mainNumber);
    return path;
}

CString CompanionLoaderPath(const CString& hostFolder, int companionNumber) {
    return JoinPath(hostFolder, HostModuleName(companionNumber));
}
