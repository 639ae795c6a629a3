// SetUp.exe started from a download folder that also holds a library under
// the name of every library the running program maps, up to its folder
// chooser (the shell and the common controls, delay-loaded, come by then):
// a library it resolves before WinMain restricts the search (an import, or
// one an import pulls in) would be taken from beside it. None may run.
//
// Wine maps its own built-in libraries whatever lies beside the program and
// then names them by the path the search found, so the module list cannot
// tell; each stand-in leaves a marker when its code runs, and that can.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>  // after windows.h, which it needs

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/hardening/planted_library.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"
#include "tools/driver/ui_driver.h"

namespace {

constexpr char kChooserCaption[] = "请选择安装目录：";

// A snapshot of a process still starting may fail for a moment.
constexpr int kSnapshotAttempts = 20;
constexpr DWORD kSnapshotRetryMs = 100;

// The full paths of the modules loaded in a process.
std::vector<std::string> LoadedModules(DWORD processId) {
    std::vector<std::string> paths;
    HANDLE snapshot = INVALID_HANDLE_VALUE;
    for (int i = 0; i < kSnapshotAttempts && snapshot == INVALID_HANDLE_VALUE; ++i) {
        snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
        if (snapshot == INVALID_HANDLE_VALUE) Sleep(kSnapshotRetryMs);
    }
    if (snapshot == INVALID_HANDLE_VALUE) return paths;
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
        paths.push_back(entry.szExePath);
    }
    CloseHandle(snapshot);
    return paths;
}

std::string NameOf(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

bool SameText(const std::string& a, const std::string& b) {
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

// Starts the program, waits for its dialog, opens its folder chooser and
// returns what it had mapped by then (into `atTheDialog` what it had when
// the dialog showed); empty when a dialog did not appear.
std::vector<std::string> ModulesUpToTheChooser(const std::string& setupExe,
                                               std::vector<std::string>* atTheDialog) {
    driver::Process setup;
    if (!setup.Start(setupExe)) return {};
    const HWND dialog = driver::WaitForDialog(setup.Id(), nullptr);
    if (!dialog) return {};
    *atTheDialog = LoadedModules(setup.Id());
    driver::Click(dialog, IDC_BROWSE);
    const HWND chooser = driver::WaitForDialog(setup.Id(), kChooserCaption);
    std::vector<std::string> modules = LoadedModules(setup.Id());
    if (chooser) driver::Click(chooser, IDCANCEL);
    driver::Close(dialog);
    EXPECT_TRUE(setup.WaitForExit());
    return chooser ? modules : std::vector<std::string>();
}

TEST(LibrarySearch, TakesNothingFromBesideTheProgram) {
    const ScopedTempFolder download("-planted");
    const std::string folder = download.Path().str();
    const std::string setupExe = folder + "\\SetUp.exe";
    ASSERT_TRUE(CopyFileA(driver::WindowsPathOf(SETUP_EXE_PATH).c_str(), setupExe.c_str(), FALSE));
    std::vector<std::string> atTheDialog;
    const std::vector<std::string> mapped = ModulesUpToTheChooser(setupExe, &atTheDialog);
    ASSERT_FALSE(mapped.empty()) << "the setup dialog or its chooser did not appear";

    // A stand-in under every name the program mapped, the common controls
    // among them: loaded for the chooser, not for the dialog.
    const std::string planted = driver::WindowsPathOf(PLANTED_LIBRARY_PATH);
    std::vector<std::string> plantedNames;
    for (const std::string& path : mapped) {
        if (SameText(path, setupExe)) continue;
        plantedNames.push_back(NameOf(path));
        ASSERT_TRUE(CopyFileA(planted.c_str(), (folder + "\\" + NameOf(path)).c_str(), FALSE))
            << path;
    }
    const auto isCommonControls = [](const std::string& path) {
        return SameText(NameOf(path), "comctl32.dll");
    };
    EXPECT_TRUE(std::any_of(mapped.begin(), mapped.end(), isCommonControls));
    EXPECT_FALSE(std::any_of(atTheDialog.begin(), atTheDialog.end(), isCommonControls));

    ASSERT_FALSE(ModulesUpToTheChooser(setupExe, &atTheDialog).empty())
        << "the setup dialog or its chooser did not appear beside the planted libraries";
    for (const std::string& name : plantedNames) {
        const std::string marker = folder + "\\" + name + hardening::kLoadedMarkerSuffix;
        EXPECT_FALSE(driver::FileExists(marker)) << "the planted " << name << " ran";
    }
}

}  // namespace
