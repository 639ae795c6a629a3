// Shared fixture of the end-to-end tests: a sample machine, a package beside
// a copy of the built SetUp.exe, and the running program's dialog.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"
#include "tools/driver/ui_driver.h"

namespace e2e {

// Dialog 141 and its controls, as the template numbers them.
constexpr const char* kDialogCaption = "T-批打印软件安装";
constexpr const char* kChooserCaption = "请选择安装目录：";
constexpr const char* kBoxCaption = "T-软件安装";
constexpr const char* kAppName = "SetUp";
enum ControlId : int {
    kDone = IDOK,
    kCancel = IDCANCEL,
    kPathEdit = 1000,
    kTitle = 1013,
    kProgress = 1014,
    kBrowse = 1015,
    kReleaseHeading = 1016,
    kPathHeading = 1017,
    kEdition = 1018,
    kMenuPicture = 1021,
    kInstall = 1022,
    kCompletionText = 1023,
    kNote = 1024,
    kHiddenNote1 = 1025,
    kHiddenNote2 = 1026,
    kBox2023 = 1039,
    kBox2024 = 1040,
    kBox2025 = 1041,
    kBox2026 = 1042,
};
// The chooser's own controls: the shell's OK button and the added edit box.
constexpr int kChooserOk = IDOK;
constexpr int kChooserCancel = IDCANCEL;
constexpr int kChooserEdit = 14148;

constexpr const char* kProduct = "SOFTWARE\\Gstarsoft\\GstarCAD";
// The per-user stage's Active Setup entry (HKLM) and a user's stamp (HKCU).
constexpr const char* kActiveSetupKey =
    "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
    "{7A479842-ED53-4AAD-8FC6-E7C0EB678373}";
constexpr const char* kUninstallEntry =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvex T-ZozerIded";

// Pixels of a vertical distance in dialog units of dialog 141's font.
int DialogUnitsToPixelsY(int dialogUnits);

// Files (not folders) directly in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);

// A file held open without sharing, as a running host holds its modules.
class FileLock {
public:
    explicit FileLock(const std::string& path) {
        driver::CreateFolders(path.substr(0, path.rfind('\\')));
        driver::WriteTextFile(path, "held by a running host\r\n");
        m_handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~FileLock() { Release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool IsHeld() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Release() {
        if (IsHeld()) CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

using Snapshot = std::set<std::string>;

// How a program run to its end ended.
struct Outcome {
    DWORD code = 0;
    bool windowShown = false;  // any visible window of it, at any time
};

class SetupTest : public ::testing::Test {
protected:
    SetupTest();
    ~SetupTest() override;

    // A host installation of a release (2023..2026) under both roots, its
    // folder below the test's scratch folder. Returns the folder.
    std::string AddHost(int year, const std::string& product = kProduct,
                        const std::string& subKey = "zh-CN", bool withFonts = true);
    // Lays out the package and starts SetUp.exe; returns the dialog.
    HWND Launch(const std::vector<std::pair<std::string, std::string>>& env = {},
                const std::vector<int>& hostModuleYears = {2023, 2024}, int extraFiles = 0);
    // A message box of SetUp.exe, once it takes input.
    HWND WaitForBox() {
        HWND box = driver::WaitForMessageBox(m_setup.Id(), KnownWindows());
        return box && driver::WaitForInput(box) ? box : nullptr;
    }
    std::vector<HWND> KnownWindows() const;
    // Saves a screenshot among the test artefacts (converted to PNG by the test command).
    void Screenshot(HWND window, const std::string& name);
    bool WaitForExit() { return m_setup.WaitForExit(); }
    // Runs a command line ("program" arguments) to its end, watching for
    // any window of it; started in `workingFolder`, else in its own folder.
    Outcome RunCommand(const std::string& commandLine,
                       const std::vector<std::pair<std::string, std::string>>& env = {},
                       const std::string& workingFolder = {});
    // The installation folder, the hosts' folders, the settings folder and
    // the registry the setup touches.
    Snapshot TakeSnapshot(bool withSizes) const;
    static Snapshot Without(Snapshot snapshot, const std::string& prefix);
    // The package's Data folder as the copy lists it: every entry, in order.
    std::vector<std::string> PackageListing() const;

    const std::string& Scratch() const { return m_scratch.Path().str(); }
    std::string PackageFolder() const { return Scratch() + "\\package"; }
    std::string AppDataFolder() const { return Scratch() + "\\appdata"; }
    // The log every launch writes (it is printed when a test fails).
    std::string LogFile() const { return Scratch() + "\\setup.log"; }

    ScopedTempFolder m_scratch{"-setup"};
    driver::SampleMachine m_machine;
    driver::Process m_setup;
    HWND m_dialog = nullptr;
    HWND m_chooser = nullptr;
};

}  // namespace e2e
