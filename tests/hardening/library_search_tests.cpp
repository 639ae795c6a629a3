// SetUp.exe started from a folder that also holds a library named like one it
// loads after start-up: the common controls, which it loads on first use, as
// the dialog opens. The library must come from the system folder.
//
// Wine prefers its own built-in common controls to a file of the same name,
// so the planted code never runs there; but a library the search found
// beside the program is still registered under that path, which is what the
// module list shows here.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>  // after windows.h, which it needs

#include <string>
#include <vector>

#include "tests/hardening/planted_library.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"
#include "tools/driver/ui_driver.h"

namespace {

constexpr const char* kPlantedName = "comctl32.dll";
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

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

bool SameText(const std::string& a, const std::string& b) {
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

std::string SystemFolder() {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return length && length < MAX_PATH ? std::string(folder, length) : std::string();
}

TEST(LibrarySearch, TakesNothingFromBesideTheProgram) {
    const ScopedTempFolder download("-planted");
    const std::string setupExe = download.Path().str() + "\\SetUp.exe";
    const std::string planted = download.Path().str() + "\\" + kPlantedName;
    ASSERT_TRUE(CopyFileA(driver::WindowsPathOf(SETUP_EXE_PATH).c_str(), setupExe.c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA(driver::WindowsPathOf(PLANTED_LIBRARY_PATH).c_str(), planted.c_str(), FALSE));

    driver::Process setup;
    ASSERT_TRUE(setup.Start(setupExe));
    // The dialog is up, so the common controls have been loaded.
    const HWND dialog = driver::WaitForDialog(setup.Id(), nullptr);
    ASSERT_NE(dialog, nullptr) << "the setup dialog did not appear";
    const std::vector<std::string> modules = LoadedModules(setup.Id());
    driver::Close(dialog);
    EXPECT_TRUE(setup.WaitForExit());

    ASSERT_FALSE(modules.empty());
    bool commonControlsLoaded = false;
    for (const std::string& path : modules) {
        if (SameText(path, setupExe)) continue;
        EXPECT_FALSE(SameText(FolderOf(path), download.Path().str())) << path;
        if (SameText(NameOf(path), kPlantedName)) {
            commonControlsLoaded = true;
            EXPECT_TRUE(SameText(FolderOf(path), SystemFolder())) << path;
        }
    }
    EXPECT_TRUE(commonControlsLoaded);
    EXPECT_FALSE(driver::FileExists(planted + hardening::kLoadedMarkerSuffix))
        << "the planted library ran";
}

}  // namespace
