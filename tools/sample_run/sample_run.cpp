// The main job's sample run: lays out a sample machine (two host releases
// under two product keys and both registry roots) and a sample package, runs
// SetUp.exe on them and prints what it installed. With --older, an older
// version is installed first (silently), so that SetUp.exe upgrades it. A
// second user of the machine then gets the plug-in as at logon, from the
// per-user stage. With the package gone, the installation is repaired
// (Uninstall.exe /REPAIR) after parts of it were removed, and modified (a
// CAD release installed since is ticked in Change's dialog, then IT's
// silent /MODIFY leaves another out); then everybody loses it with the
// uninstall.
//
//   sample_run --setup <SetUp.exe> --work <folder> [--older <SetUp.exe>]
//              [--drive <screenshot folder>] [--look <name> [--dpi <dpi>]]
//
// Without --drive the user works the real dialog; with it the run is driven
// as a user would: the running-host warning (a stand-in host process runs at
// the first click), then a full installation. Screenshots of each state go to
// the screenshot folder as BMP files. With --look only the dialog as it opens
// and the warning are saved (as <name> and <name>-box), and the dialog is
// closed without installing; --dpi sets the display scale SetUp.exe sees.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "hosts/system_folders.h"
#include "peruser/user_stage.h"
#include "run/run_log.h"
#include "tools/driver/sample_machine.h"
#include "tools/driver/ui_driver.h"

namespace {

constexpr const char* kDialogCaption = "T-批打印软件安装";
constexpr int kInstallButton = 1022;
constexpr int kDoneButton = IDOK;
constexpr int kCompletionText = 1023;
constexpr int kPathEdit = 1000;
constexpr int kBrowseButton = 1015;
constexpr int kRelease2026Box = 1042;
// The host release installed after the plug-in, which a modify serves.
constexpr const char* kCad2026Folder = "C:\\Program Files\\Gstarsoft\\GstarCAD2026\\";
constexpr const char* kCad2025Folder = "C:\\Program Files\\Gstarsoft\\GstarCAD2025";
constexpr const char* kCad2025Applications =
    "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\zh-CN\\Applications";
// IT's command for a CAD release installed since: every release wanted.
constexpr const char* kSilentModify =
    "/MODIFY /VERYSILENT /COMPONENTS=2025,2026 "
    "/LOG=\"C:\\Windows\\Logs\\Software\\Torvex-Modify.log\"";
constexpr const char* kOlderInstall =
    "/VERYSILENT /DIR=\"C:\\Torvex\" /LOG=\"C:\\Windows\\Logs\\Software\\Torvex-Setup-older.log\"";
constexpr const char* kInstallFolder = "C:\\Torvex\\T-ZozerIded";
constexpr const char* kUninstallEntryKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvex T-ZozerIded";
constexpr const char* kUninstaller = "C:\\Torvex\\T-ZozerIded\\Uninstall.exe";
constexpr const char* kIdleArgument = "--idle";
// The unattended commands of docs/deployment.md.
constexpr const char* kSilentInstall =
    "/VERYSILENT /DIR=\"C:\\Torvex\" /LOG=\"C:\\Windows\\Logs\\Software\\Torvex-Setup.log\"";
constexpr const char* kSilentInstallLog = "C:\\Windows\\Logs\\Software\\Torvex-Setup.log";
constexpr const char* kSilentUninstallLog =
    "/LOG=\"C:\\Windows\\Logs\\Software\\Torvex-Uninstall.log\"";
constexpr const char* kSilentUninstallLogFile = "C:\\Windows\\Logs\\Software\\Torvex-Uninstall.log";
constexpr DWORD kSilentRunTimeoutMs = 120000;
constexpr int kLogLinesShown = 12;
// What this run prints in: main.sh reads it as GBK.
constexpr UINT kPrintCodePage = 936;
constexpr const char* kActiveSetupKey =
    "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
    "{7A479842-ED53-4AAD-8FC6-E7C0EB678373}";
constexpr const char* kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kRunOnceValue = "Torvex T-ZozerIded";

// A second user of the machine. Wine has one account: the second user's hive
// is a key the sample makes under HKEY_USERS, its profile is listed where
// Windows lists profiles, and the per-user stage runs in this process with
// HKEY_CURRENT_USER standing for that hive and APPDATA for its settings
// folder, as Windows starts the Active Setup command as that user at logon.
constexpr const char* kSecondSid = "S-1-5-21-0-0-0-1001";
constexpr const char* kSecondProfile = "C:\\users\\second";
constexpr const char* kSecondAppData = "C:\\users\\second\\AppData\\Roaming";
// The host profile the second user has: it started GstarCAD 2025, never GstarArch 2024.
constexpr const char* kSecondUsersProfile = "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\zh-CN";

struct Options {
    std::string setupExe;
    std::string olderExe;  // empty: no upgrade
    std::string work;
    std::string screenshots;  // empty: the user works the dialog
    std::string look;         // empty: a full installation
    DWORD dpi = 0;            // 0: as the display is
};

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--setup")
            options->setupExe = argv[i + 1];
        else if (name == "--work")
            options->work = argv[i + 1];
        else if (name == "--older")
            options->olderExe = argv[i + 1];
        else if (name == "--drive")
            options->screenshots = argv[i + 1];
        else if (name == "--look")
            options->look = argv[i + 1];
        else if (name == "--dpi")
            options->dpi = std::strtoul(argv[i + 1], nullptr, 10);
        else
            return false;
    }
    const bool lookDriven = options->look.empty() || !options->screenshots.empty();
    return !options->setupExe.empty() && !options->work.empty() && lookDriven;
}

void LayOutHosts(driver::SampleMachine& machine, const std::string& programs) {
    // GstarCAD 2025: the host's installer wrote HKLM, its first start the
    // per-user profile under HKCU with the same key path.
    const std::string cad2025 = programs + "\\GstarCAD2025\\";
    machine.AddHost({HKEY_LOCAL_MACHINE, "SOFTWARE\\Gstarsoft\\GstarCAD", "R25\\zh-CN", cad2025});
    machine.AddHost({HKEY_CURRENT_USER, "SOFTWARE\\Gstarsoft\\GstarCAD", "R25\\zh-CN", cad2025},
                    false);
    // GstarArch 2024, a second product key.
    const std::string arch2024 = programs + "\\GstarArch2024";
    machine.AddHost({HKEY_LOCAL_MACHINE, "SOFTWARE\\Gstarsoft\\GstarArch", "R24\\zh-CN", arch2024});
    machine.AddHost({HKEY_CURRENT_USER, "SOFTWARE\\Gstarsoft\\GstarArch", "R24\\zh-CN", arch2024},
                    false);
}

void PrintFolder(const std::string& folder, const std::string& indent) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        std::printf("%s(missing)\n", indent.c_str());
        return;
    }
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            std::printf("%s%s\\\n", indent.c_str(), name.c_str());
            PrintFolder(folder + "\\" + name, indent + "    ");
        } else {
            std::printf("%s%-24s %6lu bytes\n", indent.c_str(), name.c_str(), entry.nFileSizeLow);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

// A key's text and number values, one a line.
void PrintValues(HKEY root, const std::string& key, const char* indent) {
    for (const std::string& value : driver::ValueNames(root, key)) {
        std::string text;
        DWORD number = 0;
        const char* name = value.empty() ? "(Default)" : value.c_str();
        if (driver::ReadString(root, key, value.c_str(), &text))
            std::printf("%s%-16s REG_SZ    %s\n", indent, name, text.c_str());
        else if (driver::ReadDword(root, key, value.c_str(), &number))
            std::printf("%s%-16s REG_DWORD %lu\n", indent, name, number);
    }
}

void PrintApplications(const std::string& hostKey, HKEY root = HKEY_CURRENT_USER,
                       const std::string& rootName = "HKCU") {
    const std::string applications = hostKey + "Applications";
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, applications.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) {
        std::printf("    (no Applications key)\n");
        return;
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof(name);
        if (RegEnumKeyExA(h, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        const std::string sub = applications + "\\" + name;
        std::printf("    %s\\%s\n", rootName.c_str(), sub.c_str());
        PrintValues(root, sub, "        ");
    }
    RegCloseKey(h);
}

void PrintEntry() {
    std::printf("\n== Programs and Features: HKLM\\%s\n", kUninstallEntryKey);
    if (!driver::KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey)) std::printf("    (no entry)\n");
    PrintValues(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "    ");
}

void PrintInstallation(const driver::SampleMachine& machine) {
    std::printf("\n== Installation folder %s\n", kInstallFolder);
    PrintFolder(kInstallFolder, "    ");
    char appData[MAX_PATH] = {};
    GetEnvironmentVariableA("APPDATA", appData, sizeof(appData));
    std::printf("\n== Settings folder %s\\Torvex\n", appData);
    PrintFolder(std::string(appData) + "\\Torvex", "    ");
    for (const driver::HostEntry& host : machine.Hosts()) {
        if (host.root != HKEY_LOCAL_MACHINE) continue;
        std::printf("\n== Host folder %s\n", host.folder.c_str());
        PrintFolder(host.folder, "    ");
    }
    for (const driver::HostEntry& host : machine.Hosts()) {
        if (host.root != HKEY_CURRENT_USER) continue;
        const std::string key = host.productKey + "\\" + host.relativeKey + "\\";
        std::printf("\n== Registry entries below HKCU\\%s\n", key.c_str());
        PrintApplications(key);
    }
    PrintEntry();
    std::printf("\n== Active Setup, for every user at logon: HKLM\\%s\n", kActiveSetupKey);
    if (!driver::KeyExists(HKEY_LOCAL_MACHINE, kActiveSetupKey)) std::printf("    (no entry)\n");
    PrintValues(HKEY_LOCAL_MACHINE, kActiveSetupKey, "    ");
}

void RemoveSecondUser() {
    RegDeleteTreeA(HKEY_USERS, kSecondSid);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kProfileListKey) + "\\" + kSecondSid).c_str());
    driver::RemoveTree(kSecondProfile);
}

void AddSecondUser() {
    RemoveSecondUser();
    const std::string profile = std::string(kSecondSid) + "\\" + kSecondUsersProfile;
    HKEY h = nullptr;
    if (RegCreateKeyExA(HKEY_USERS, profile.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                        nullptr) == ERROR_SUCCESS) {
        RegCloseKey(h);
    }
    const std::string list = std::string(kProfileListKey) + "\\" + kSecondSid;
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, list.c_str(), kProfileFolderValue, REG_SZ, kSecondProfile,
                    static_cast<DWORD>(std::strlen(kSecondProfile) + 1));
    driver::CreateFolders(kSecondAppData);
}

// The second user's entries, RunOnce value and settings folder.
void PrintSecondUser(const driver::SampleMachine& machine) {
    const std::string hive = std::string(kSecondSid) + "\\";
    for (const driver::HostEntry& host : machine.Hosts()) {
        if (host.root != HKEY_CURRENT_USER) continue;
        const std::string key = hive + host.productKey + "\\" + host.relativeKey + "\\";
        std::printf("\n== Registry entries below HKU\\%s\n", key.c_str());
        if (!driver::KeyExists(HKEY_USERS, key)) {
            std::printf("    (no profile: the user has not started this host)\n");
            continue;
        }
        PrintApplications(key, HKEY_USERS, "HKU");
    }
    std::string again;
    std::printf("\n== RunOnce of the second user: %s\n",
                driver::ReadString(HKEY_USERS, hive + kRunOnceKey, kRunOnceValue, &again)
                    ? again.c_str()
                    : "(none)");
    std::printf("\n== Settings folder %s\\Torvex\n", kSecondAppData);
    PrintFolder(std::string(kSecondAppData) + "\\Torvex", "    ");
}

// Starts the stage as Active Setup would at the second user's logon.
void ServeSecondUser(const std::string& work) {
    std::string command;
    if (!driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "StubPath", &command)) {
        std::printf("\n!! no Active Setup entry HKLM\\%s\n", kActiveSetupKey);
        return;
    }
    std::printf("\n== The second user %s logs on\n", kSecondSid);
    std::printf("-- Active Setup starts the stage for that user: %s\n", command.c_str());
    HKEY hive = nullptr;
    if (RegOpenKeyExA(HKEY_USERS, kSecondSid, 0, KEY_ALL_ACCESS, &hive) != ERROR_SUCCESS) return;
    char appData[MAX_PATH] = {};
    GetEnvironmentVariableA("APPDATA", appData, sizeof(appData));
    RegOverridePredefKey(HKEY_CURRENT_USER, hive);
    SetEnvironmentVariableA("APPDATA", kSecondAppData);
    RunLog log;
    const std::string logPath = work + "\\second-user.log";
    CString refused;
    if (!log.Open(CString(logPath.c_str()), false, &refused)) {
        std::printf("!! log %s refused: %s\n", logPath.c_str(), refused.GetString());
    }
    const int code = RunUserStage(kInstallFolder, log);
    SetEnvironmentVariableA("APPDATA", appData);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(hive);
    std::printf("-- the stage ended with exit code %d; its log: %s\n", code, logPath.c_str());
}

bool Shot(HWND window, const std::string& folder, const char* name) {
    const std::string path = folder + "\\" + name + ".bmp";
    Sleep(300);  // let the window finish painting
    const bool ok = driver::SaveScreenshot(window, path);
    std::printf("   screenshot %s: %s\n", name, ok ? "saved" : "FAILED");
    return ok;
}

// Works the dialog as a user would up to the running-host warning, saving
// both; the dialog when it is back. Null when something did not appear.
HWND DriveToWarning(driver::Process& setup, const std::string& selfExe, const std::string& work,
                    const std::string& screenshots, const std::string& dialogShot,
                    const std::string& boxShot) {
    // A stand-in host process, so that the first click meets the warning.
    const std::string host = work + "\\host\\gcad.exe";
    driver::CreateFolders(work + "\\host");
    CopyFileA(selfExe.c_str(), host.c_str(), FALSE);
    driver::Process gcad;
    const bool hostStarted = gcad.Start(host, {}, kIdleArgument);
    std::printf("-- stand-in host process gcad.exe %s\n",
                hostStarted ? "started" : "FAILED to start");

    HWND dialog = driver::WaitForDialog(setup.Id(), kDialogCaption);
    if (!dialog) return nullptr;
    std::printf("-- the setup dialog is open: %s\n", driver::ItemText(dialog, 1013).c_str());
    Shot(dialog, screenshots, dialogShot.c_str());

    std::printf("-- click install while the host runs\n");
    driver::Click(dialog, kInstallButton);
    HWND box = driver::WaitForMessageBox(setup.Id(), {dialog});
    if (!box || !driver::WaitForInput(box)) return nullptr;
    std::printf("-- message box: %s\n", driver::MessageBoxText(box).c_str());
    Shot(box, screenshots, boxShot.c_str());
    driver::Click(box, IDOK);
    driver::WaitForClose(box);
    return dialog;
}

// Works the dialog as a user would; false when something did not appear.
bool Drive(driver::Process& setup, const std::string& selfExe, const std::string& work,
           const std::string& screenshots) {
    HWND dialog = DriveToWarning(setup, selfExe, work, screenshots, "1-choosing", "2-message-box");
    if (!dialog) return false;

    std::printf("-- click install again: the installation runs\n");
    driver::Click(dialog, kInstallButton);
    if (!driver::WaitUntil([&] { return driver::IsItemVisible(dialog, kCompletionText); }) ||
        !driver::WaitForIdle(dialog)) {
        return false;
    }
    std::printf("-- complete: %s\n", driver::ItemText(dialog, kCompletionText).c_str());
    Shot(dialog, screenshots, "3-complete");
    driver::Click(dialog, kDoneButton);
    return setup.WaitForExit();
}

// Runs the uninstaller as Programs and Features would and answers its boxes:
// it hands over to a copy of itself in a temporary folder, which asks, removes
// and tells what it did.
bool DriveUninstall(const std::string& screenshots) {
    std::printf("\n== Running the uninstaller %s\n", kUninstaller);
    driver::Process launcher;
    if (!launcher.Start(kUninstaller)) return false;
    driver::Process uninstaller;
    if (!uninstaller.Adopt(driver::WaitForChildProcess(launcher.Id()))) return false;
    HWND confirm = driver::WaitForMessageBox(uninstaller.Id(), {});
    if (!confirm || !driver::WaitForInput(confirm)) return false;
    std::printf("-- message box: %s\n-- answer Yes\n", driver::MessageBoxText(confirm).c_str());
    driver::Click(confirm, IDYES);
    driver::WaitForClose(confirm);
    HWND done = driver::WaitForMessageBox(uninstaller.Id(), {});
    if (!done || !driver::WaitForInput(done)) return false;
    std::printf("-- message box: %s\n", driver::MessageBoxText(done).c_str());
    Shot(done, screenshots, "6-uninstalled");
    driver::Click(done, IDOK);
    return uninstaller.WaitForExit();
}

// A log's first lines, in the GBK this run prints in (the log is UTF-8).
void PrintLogStart(const std::string& path, int lines) {
    const std::string utf8 = driver::ReadTextFile(path);
    const int wideLength =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                        wideLength);
    const int length = WideCharToMultiByte(kPrintCodePage, 0, wide.c_str(), wideLength, nullptr, 0,
                                           nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kPrintCodePage, 0, wide.c_str(), wideLength, &text[0], length, nullptr,
                        nullptr);
    size_t start = 0;
    for (int i = 0; i < lines && start < text.size(); ++i) {
        const size_t end = text.find('\n', start);
        std::printf("    %s\n", text.substr(start, end - start).c_str());
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

// Runs a command line to its end; its whole exit code.
DWORD RunToEnd(const std::string& program, const std::string& arguments) {
    driver::Process process;
    if (!process.Start(program, {}, arguments) || !process.WaitForExit(kSilentRunTimeoutMs)) {
        return STILL_ACTIVE;
    }
    return process.ExitCode();
}

// What a deployment tool does: the documented silent installation, then the
// silent uninstall the Programs and Features entry names.
bool SilentRoundTrip(const driver::SampleMachine& machine, const std::string& package) {
    std::printf("\n== Silent installation: SetUp.exe %s\n", kSilentInstall);
    const DWORD installed = RunToEnd(package + "\\SetUp.exe", kSilentInstall);
    std::printf("-- exit code %lu; the log begins:\n", installed);
    PrintLogStart(kSilentInstallLog, kLogLinesShown);
    PrintInstallation(machine);
    std::string quiet;
    driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "QuietUninstallString", &quiet);
    const std::string arguments = std::string(kSilentUninstallLog);
    std::printf("\n== Silent uninstall: %s %s\n", quiet.c_str(), arguments.c_str());
    const DWORD removed = RunToEnd(kUninstaller, "/VERYSILENT " + arguments);
    std::printf("-- exit code %lu; its log:\n", removed);
    PrintLogStart(kSilentUninstallLogFile, kLogLinesShown * 4);
    std::printf("\n== What is left after the silent uninstall\n");
    PrintInstallation(machine);
    return installed == 0 && removed == 0;
}

// An older version, installed silently from a package of its own, as a
// deployment tool did before this release.
bool InstallOlder(driver::SampleMachine& machine, const Options& options) {
    const std::string package = options.work + "\\package-older";
    driver::RemoveTree(package);
    if (!machine.BuildPackage(options.olderExe, package)) return false;
    std::printf("\n== An older version first: %s\\SetUp.exe %s\n", package.c_str(), kOlderInstall);
    const DWORD code = RunToEnd(package + "\\SetUp.exe", kOlderInstall);
    std::printf("-- exit code %lu\n", code);
    PrintEntry();
    driver::RemoveTree(package);
    return code == 0;
}

// The box a second process of the uninstaller shows once its progress
// dialog (if it came at all) is gone; answered OK. Its text.
std::string AnswerFinalBox(const driver::Process& process, const std::string& screenshots,
                           const char* shot) {
    HWND progress = nullptr;
    HWND box = nullptr;
    driver::WaitUntil([&] {
        if (HWND dialog = driver::FindDialog(process.Id(), kDialogCaption)) progress = dialog;
        box = driver::WaitForMessageBox(process.Id(), {progress}, 0);
        return box != nullptr;
    });
    if (!box || !driver::WaitForInput(box)) return "(no box)";
    const std::string text = driver::MessageBoxText(box);
    Shot(box, screenshots, shot);
    driver::Click(box, IDOK);
    return text;
}

// With the package gone, parts of the installation are removed, as a user or
// a CAD's own update might; Uninstall.exe /REPAIR puts them back, showing
// only its progress and a final box.
bool DriveRepair(const std::string& screenshots) {
    std::printf("\n== Parts of the installation removed (the package is gone)\n");
    const std::vector<std::string> removed = {
        std::string(kCad2025Folder) + "\\GCAD2024P.dll",
        std::string(kCad2025Folder) + "\\Fonts\\Torvex_HZ.shx",
        std::string(kInstallFolder) + "\\TX_ZozerIded2026.grx"};
    for (const std::string& file : removed) {
        std::printf("-- %s: %s\n", file.c_str(),
                    DeleteFileA(file.c_str()) ? "deleted" : "NOT deleted");
    }
    const std::vector<std::string> entries =
        driver::SubKeyNames(HKEY_CURRENT_USER, kCad2025Applications);
    const std::string entry =
        entries.empty() ? std::string() : std::string(kCad2025Applications) + "\\" + entries[0];
    if (!entry.empty()) {
        std::printf("-- HKCU\\%s: %s\n", entry.c_str(),
                    RegDeleteTreeA(HKEY_CURRENT_USER, entry.c_str()) == ERROR_SUCCESS
                        ? "deleted"
                        : "NOT deleted");
    }
    std::printf("\n== Repair: \"%s\" /REPAIR\n", kUninstaller);
    driver::Process launcher;
    driver::Process repair;
    if (!launcher.Start(kUninstaller, {}, "/REPAIR") ||
        !repair.Adopt(driver::WaitForChildProcess(launcher.Id()))) {
        return false;
    }
    std::printf("-- progress only, then a box: %s\n",
                AnswerFinalBox(repair, screenshots, "4-repaired").c_str());
    const DWORD code = launcher.WaitForExit() ? launcher.ExitCode() : STILL_ACTIVE;
    std::printf("-- exit code %lu\n", code);
    for (const std::string& file : removed) {
        std::printf("-- %s: %s\n", file.c_str(), driver::FileExists(file) ? "back" : "MISSING");
    }
    if (!entry.empty()) {
        std::printf("-- HKCU\\%s: %s\n", entry.c_str(),
                    driver::KeyExists(HKEY_CURRENT_USER, entry) ? "back" : "MISSING");
    }
    PrintEntry();
    return code == 0;
}

// GstarCAD 2026, installed after the plug-in, is served through Change in
// Programs and Features: the setup dialog with the folder fixed and the
// releases installed ticked. Then IT's silent modify names the releases
// wanted and leaves GstarArch 2024 out, which loses the plug-in.
bool DriveModify(driver::SampleMachine& machine, const std::string& screenshots) {
    const char* product = "SOFTWARE\\Gstarsoft\\GstarCAD";
    machine.AddHost({HKEY_LOCAL_MACHINE, product, "R26\\zh-CN", kCad2026Folder});
    machine.AddHost({HKEY_CURRENT_USER, product, "R26\\zh-CN", kCad2026Folder}, false);
    std::printf("\n== GstarCAD 2026 installed since: %s\n", kCad2026Folder);
    std::string modifyPath;
    driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "ModifyPath", &modifyPath);
    std::printf("\n== Change in Programs and Features: %s\n", modifyPath.c_str());
    driver::Process launcher;
    driver::Process modify;
    if (!launcher.Start(kUninstaller, {}, "/MODIFY") ||
        !modify.Adopt(driver::WaitForChildProcess(launcher.Id()))) {
        return false;
    }
    HWND dialog = driver::WaitForDialog(modify.Id(), kDialogCaption);
    if (!dialog) return false;
    std::printf(
        "-- the folder %s, fixed: %s; GstarCAD 2026 ticked: %s\n",
        driver::ItemText(dialog, kPathEdit).c_str(),
        driver::IsItemEnabled(dialog, kPathEdit) || driver::IsItemEnabled(dialog, kBrowseButton)
            ? "NO"
            : "yes",
        driver::ItemCheck(dialog, kRelease2026Box) == BST_CHECKED ? "yes" : "no");
    std::printf("-- tick GstarCAD 2026 and install\n");
    driver::Click(dialog, kRelease2026Box);
    Shot(dialog, screenshots, "5-modify");
    driver::Click(dialog, kInstallButton);
    if (!driver::WaitUntil([&] { return driver::IsItemVisible(dialog, kCompletionText); }) ||
        !driver::WaitForIdle(dialog)) {
        return false;
    }
    driver::Click(dialog, kDoneButton);
    const DWORD changed = launcher.WaitForExit() ? launcher.ExitCode() : STILL_ACTIVE;
    std::printf("-- exit code %lu\n\n== Host folder %s\n", changed, kCad2026Folder);
    PrintFolder(kCad2026Folder, "    ");
    std::printf("\n== Registry entries below HKCU\\%s\\R26\\zh-CN\\\n", product);
    PrintApplications(std::string(product) + "\\R26\\zh-CN\\");
    PrintEntry();

    std::printf("\n== IT's modify: \"%s\" %s\n", kUninstaller, kSilentModify);
    const DWORD silent = RunToEnd(kUninstaller, kSilentModify);
    std::printf("-- exit code %lu\n\n== Host folder of GstarArch 2024, left out\n", silent);
    PrintFolder("C:\\Program Files\\Gstarsoft\\GstarArch2024", "    ");
    std::printf("\n== Registry entries below HKCU\\SOFTWARE\\Gstarsoft\\GstarArch\\R24\\zh-CN\\\n");
    PrintApplications("SOFTWARE\\Gstarsoft\\GstarArch\\R24\\zh-CN\\");
    PrintEntry();
    return changed == 0 && silent == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], kIdleArgument) == 0) {
        Sleep(INFINITE);  // the stand-in host process
    }
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: sample_run --setup <SetUp.exe> --work <folder> [--older <SetUp.exe>] "
                     "[--drive <folder>]\n");
        return 2;
    }
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));

    driver::SampleMachine machine;
    machine.Keep();   // the sample stays for the user to look at
    machine.Clean();  // but an earlier run's leftovers go
    driver::RemoveTree("C:\\Torvex");
    AddSecondUser();
    const std::string package = options.work + "\\package";
    driver::RemoveTree(package);
    LayOutHosts(machine, "C:\\Program Files\\Gstarsoft");
    if (!machine.BuildPackage(options.setupExe, package)) {
        std::fprintf(stderr, "could not lay out the sample package in %s\n", package.c_str());
        return 1;
    }
    bool ok = true;
    if (options.look.empty() && !options.olderExe.empty()) {
        ok = InstallOlder(machine, options);
        if (!ok) std::printf("!! the older version did not install\n");
    }
    if (options.look.empty()) {  // a look at the dialog: the same sample as before
        std::printf("== Sample machine\n");
        for (const driver::HostEntry& host : machine.Hosts()) {
            std::printf("   %s\\%s\\%s  Location = %s\n",
                        host.root == HKEY_CURRENT_USER ? "HKCU" : "HKLM", host.productKey.c_str(),
                        host.relativeKey.c_str(), host.folder.c_str());
        }
        std::printf("== Sample package %s\n", package.c_str());
        PrintFolder(package, "    ");
    }

    // Before SetUp.exe starts: it reads the scale once, at its start.
    std::optional<driver::ScopedDisplayDpi> dpi;
    if (options.dpi) {
        dpi.emplace(options.dpi);
        std::printf("== display at %lu DPI%s\n", options.dpi, dpi->IsSet() ? "" : ": NOT SET");
    }
    std::printf("== ANSI code page %u\n", GetACP());
    driver::Process setup;
    if (!setup.Start(package + "\\SetUp.exe")) {
        std::fprintf(stderr, "could not start %s\\SetUp.exe\n", package.c_str());
        return 1;
    }
    std::printf("\n== Running %s\\SetUp.exe\n", package.c_str());
    if (!options.look.empty()) {
        driver::CreateFolders(options.screenshots);
        HWND dialog = DriveToWarning(setup, self, options.work, options.screenshots, options.look,
                                     options.look + "-box");
        if (dialog) driver::Close(dialog);
        const bool ended = dialog && setup.WaitForExit();
        if (!ended) std::printf("!! the dialog did not behave as expected\n");
        return ended ? 0 : 1;
    }
    if (options.screenshots.empty()) {
        std::printf("-- work the dialog; this run goes on when it closes\n");
        setup.WaitForExit(INFINITE);
    } else {
        driver::CreateFolders(options.screenshots);
        ok = Drive(setup, self, options.work, options.screenshots) && ok;
        if (!ok) std::printf("!! the dialog did not behave as expected\n");
    }
    PrintInstallation(machine);
    ServeSecondUser(options.work);
    PrintSecondUser(machine);
    if (ok && !options.screenshots.empty()) {
        // Repair and modify need no package.
        driver::RemoveTree(package);
        ok = DriveRepair(options.screenshots);
        if (!ok) std::printf("!! the repair did not behave as expected\n");
        ok = DriveModify(machine, options.screenshots) && ok;
        if (!ok) std::printf("!! the modify did not behave as expected\n");
        ok = DriveUninstall(options.screenshots) && ok;
        if (!ok) std::printf("!! the uninstaller did not behave as expected\n");
        std::printf("\n== What is left after uninstalling\n");
        PrintInstallation(machine);
        PrintSecondUser(machine);
        ok = machine.BuildPackage(options.setupExe, package) && SilentRoundTrip(machine, package) &&
             ok;
        if (!ok) std::printf("!! the silent round trip did not end with 0 and 0\n");
    }
    return ok ? 0 : 1;
}
