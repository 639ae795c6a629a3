// The main job's sample run: lays out a sample machine (two host releases
// under two product keys and both registry roots) and a sample package, runs
// SetUp.exe on them and prints what it installed.
//
//   sample_run --setup <SetUp.exe> --work <folder> [--drive <screenshot folder>]
//              [--look <name> [--dpi <dpi>]]
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

#include "tools/driver/sample_machine.h"
#include "tools/driver/ui_driver.h"

namespace {

constexpr const char* kDialogCaption = "T-批打印软件安装";
constexpr int kInstallButton = 1022;
constexpr int kDoneButton = IDOK;
constexpr int kCompletionText = 1023;
constexpr const char* kInstallFolder = "C:\\Torvex\\T-ZozerIded";
constexpr const char* kUninstallEntryKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvex T-ZozerIded";
constexpr const char* kUninstaller = "C:\\Torvex\\T-ZozerIded\\Uninstall.exe";
constexpr const char* kIdleArgument = "--idle";

struct Options {
    std::string setupExe;
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
        if (driver::ReadString(root, key, value.c_str(), &text))
            std::printf("%s%-16s REG_SZ    %s\n", indent, value.c_str(), text.c_str());
        else if (driver::ReadDword(root, key, value.c_str(), &number))
            std::printf("%s%-16s REG_DWORD %lu\n", indent, value.c_str(), number);
    }
}

void PrintApplications(const std::string& hostKey) {
    const std::string applications = hostKey + "Applications";
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, applications.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) {
        std::printf("    (no Applications key)\n");
        return;
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof(name);
        if (RegEnumKeyExA(h, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        const std::string sub = applications + "\\" + name;
        std::printf("    HKCU\\%s\n", sub.c_str());
        PrintValues(HKEY_CURRENT_USER, sub, "        ");
    }
    RegCloseKey(h);
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
    std::printf("\n== Programs and Features: HKLM\\%s\n", kUninstallEntryKey);
    if (!driver::KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey)) std::printf("    (no entry)\n");
    PrintValues(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "    ");
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
    Shot(done, screenshots, "4-uninstalled");
    driver::Click(done, IDOK);
    return uninstaller.WaitForExit();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], kIdleArgument) == 0) {
        Sleep(INFINITE);  // the stand-in host process
    }
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: sample_run --setup <SetUp.exe> --work <folder> [--drive <folder>]\n");
        return 2;
    }
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));

    driver::SampleMachine machine;
    machine.Keep();   // the sample stays for the user to look at
    machine.Clean();  // but an earlier run's leftovers go
    driver::RemoveTree("C:\\Torvex");
    const std::string package = options.work + "\\package";
    driver::RemoveTree(package);
    LayOutHosts(machine, "C:\\Program Files\\Gstarsoft");
    if (!machine.BuildPackage(options.setupExe, package)) {
        std::fprintf(stderr, "could not lay out the sample package in %s\n", package.c_str());
        return 1;
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
    bool ok = true;
    if (options.screenshots.empty()) {
        std::printf("-- work the dialog; this run goes on when it closes\n");
        setup.WaitForExit(INFINITE);
    } else {
        driver::CreateFolders(options.screenshots);
        ok = Drive(setup, self, options.work, options.screenshots);
        if (!ok) std::printf("!! the dialog did not behave as expected\n");
    }
    PrintInstallation(machine);
    if (ok && !options.screenshots.empty()) {
        ok = DriveUninstall(options.screenshots);
        if (!ok) std::printf("!! the uninstaller did not behave as expected\n");
        std::printf("\n== What is left after uninstalling\n");
        PrintInstallation(machine);
    }
    return ok ? 0 : 1;
}
