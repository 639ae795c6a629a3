#include "tests/e2e/e2e_fixture.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <set>

namespace e2e {

namespace {

constexpr const char* kDefaultInstallRoot = "C:\\Torvex";
constexpr DWORD kRunTimeoutMs = 60000;

// Dialog 141's font: "宋体" at 9 points, as the template gives it.
constexpr WORD kDialogFontPoints = 9;
constexpr wchar_t kDialogFontFace[] = L"\u5B8B\u4F53";

INT_PTR CALLBACK IdleDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

constexpr const char* kVendorKey = "SOFTWARE\\Gstarsoft";
constexpr const char* kPluginMachineKey = "SOFTWARE\\Torvex";

BOOL CALLBACK FindVisible(HWND window, LPARAM parameter) {
    auto* found = reinterpret_cast<std::pair<DWORD, bool>*>(parameter);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (id == found->first && IsWindowVisible(window)) found->second = true;
    return TRUE;
}

// Every folder and file below `folder`, with the files' sizes when asked.
void AddTree(const std::string& folder, bool withSizes, Snapshot& out) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.insert(path + "\\");
            AddTree(path, withSizes, out);
        } else {
            out.insert(withSizes ? path + " " + std::to_string(entry.nFileSizeLow) : path);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

// Every key and value name below a key.
void AddKeys(HKEY root, const std::string& rootName, const std::string& path, Snapshot& out) {
    if (!driver::KeyExists(root, path)) return;
    out.insert(rootName + path);
    for (const std::string& value : driver::ValueNames(root, path)) {
        out.insert(rootName + path + " = " + value);
    }
    for (const std::string& sub : driver::SubKeyNames(root, path)) {
        AddKeys(root, rootName, path + "\\" + sub, out);
    }
}

}  // namespace

int DialogUnitsToPixelsY(int dialogUnits) {
    // A hidden dialog with the same font: MapDialogRect works only on a
    // dialog of the calling process.
    struct Template {
        DLGTEMPLATE header;
        WORD menu, windowClass, title, points;
        wchar_t face[sizeof(kDialogFontFace) / sizeof(wchar_t)];
    };
    alignas(DWORD) Template t{};
    t.header.style = WS_POPUP | DS_SETFONT;
    t.points = kDialogFontPoints;
    std::copy(std::begin(kDialogFontFace), std::end(kDialogFontFace), t.face);
    HWND probe = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &t.header, nullptr,
                                            IdleDialogProc, 0);
    RECT r{0, 0, 0, dialogUnits};
    MapDialogRect(probe, &r);
    DestroyWindow(probe);
    return r.bottom;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

SetupTest::SetupTest() {
    // Leftovers of an earlier failed run must not decide this one.
    m_machine.Clean();
    driver::RemoveTree(kDefaultInstallRoot);
}

SetupTest::~SetupTest() {
    m_setup.Kill();
    // What the program said it did, to read beside the failure.
    if (HasFailure())
        std::printf("--- log of the run:\n%s", driver::ReadTextFile(LogFile()).c_str());
    driver::RemoveTree(kDefaultInstallRoot);
}

std::string SetupTest::AddHost(int year, const std::string& product, const std::string& subKey,
                               bool withFonts) {
    const std::string folder = Scratch() + "\\hosts\\" + product.substr(product.rfind('\\') + 1) +
                               std::to_string(year) + "-" + subKey;
    const std::string release = "R" + std::to_string(year % 100) + "\\" + subKey;
    m_machine.AddHost({HKEY_LOCAL_MACHINE, product, release, folder + "\\"}, true, withFonts);
    m_machine.AddHost({HKEY_CURRENT_USER, product, release, folder + "\\"}, false);
    return folder;
}

HWND SetupTest::Launch(const std::vector<std::pair<std::string, std::string>>& env,
                       const std::vector<int>& hostModuleYears, int extraFiles) {
    const std::string setupExe = driver::WindowsPathOf(SETUP_EXE_PATH);
    EXPECT_TRUE(m_machine.BuildPackage(setupExe, PackageFolder(), hostModuleYears, extraFiles));
    driver::CreateFolders(AppDataFolder());
    std::vector<std::pair<std::string, std::string>> environment = {{"APPDATA", AppDataFolder()}};
    environment.insert(environment.end(), env.begin(), env.end());
    EXPECT_TRUE(
        m_setup.Start(PackageFolder() + "\\SetUp.exe", environment, "/LOG=\"" + LogFile() + "\""));
    m_dialog = driver::WaitForDialog(m_setup.Id(), kDialogCaption);
    EXPECT_NE(m_dialog, nullptr) << "the setup dialog did not appear";
    return m_dialog;
}

Outcome SetupTest::RunCommand(const std::string& commandLine,
                              const std::vector<std::pair<std::string, std::string>>& env,
                              const std::string& workingFolder) {
    const size_t end = commandLine.find('"', 1);
    const std::string program = commandLine.substr(1, end - 1);
    const std::string arguments = commandLine.substr(end + 2);
    driver::Process process;
    Outcome run;
    EXPECT_TRUE(process.Start(program, env, arguments, workingFolder)) << program;
    const DWORD start = GetTickCount();
    while (process.IsRunning() && GetTickCount() - start < kRunTimeoutMs) {
        std::pair<DWORD, bool> found{process.Id(), false};
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&found));
        run.windowShown = run.windowShown || found.second;
        Sleep(20);
    }
    EXPECT_TRUE(process.WaitForExit(0)) << "still running: " << commandLine;
    run.code = process.ExitCode();
    return run;
}

// The installation folder, the hosts' folders, the settings folder and
// the registry the setup touches, except the user's settings.
Snapshot SetupTest::TakeSnapshot(bool withSizes) const {
    Snapshot out;
    AddTree(kDefaultInstallRoot, withSizes, out);
    AddTree(Scratch() + "\\hosts", withSizes, out);
    AddTree(AppDataFolder(), withSizes, out);
    AddKeys(HKEY_CURRENT_USER, "HKCU\\", kVendorKey, out);
    AddKeys(HKEY_LOCAL_MACHINE, "HKLM\\", kVendorKey, out);
    AddKeys(HKEY_LOCAL_MACHINE, "HKLM\\", kUninstallEntry, out);
    AddKeys(HKEY_LOCAL_MACHINE, "HKLM\\", kPluginMachineKey, out);
    // The Active Setup entry, and this account's stamp.
    AddKeys(HKEY_LOCAL_MACHINE, "HKLM\\", kActiveSetupKey, out);
    AddKeys(HKEY_CURRENT_USER, "HKCU\\", kActiveSetupKey, out);
    return out;
}
Snapshot SetupTest::Without(Snapshot snapshot, const std::string& prefix) {
    for (auto it = snapshot.begin(); it != snapshot.end();) {
        it = it->compare(0, prefix.size(), prefix) == 0 ? snapshot.erase(it) : std::next(it);
    }
    return snapshot;
}

std::vector<std::string> SetupTest::PackageListing() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((PackageFolder() + "\\Data\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(entry.cFileName);
    while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

std::vector<HWND> SetupTest::KnownWindows() const {
    std::vector<HWND> known;
    if (m_dialog) known.push_back(m_dialog);
    if (m_chooser && IsWindow(m_chooser)) known.push_back(m_chooser);
    return known;
}

void SetupTest::Screenshot(HWND window, const std::string& name) {
    const std::string folder = driver::WindowsPathOf(E2E_ARTIFACT_DIR);
    driver::CreateFolders(folder);
    Sleep(300);  // let the window finish painting
    EXPECT_TRUE(driver::SaveScreenshot(window, folder + "\\" + name + ".bmp"));
}

}  // namespace e2e
