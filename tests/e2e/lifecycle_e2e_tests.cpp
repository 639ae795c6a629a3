// The plug-in's life cycle with the real SetUp.exe: installed, then removed
// by its uninstaller started as Programs and Features starts it; and an
// installation aborted half way. Each leaves the machine as it found it.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

constexpr const char* kInstallRoot = "C:\\Torvex";
constexpr const char* kInstallFolder = "C:\\Torvex\\T-ZozerIded";
constexpr const char* kUninstallEntry =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvex T-ZozerIded";
constexpr const char* kVendorKey = "SOFTWARE\\Gstarsoft";

using Snapshot = std::set<std::string>;

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

class LifecycleTest : public SetupTest {
protected:
    // The installation folder, the hosts' folders, the settings folder and
    // the registry the setup touches, except the user's settings.
    Snapshot TakeSnapshot(bool withSizes) const {
        Snapshot out;
        AddTree(kInstallRoot, withSizes, out);
        AddTree(Scratch() + "\\hosts", withSizes, out);
        AddTree(AppDataFolder(), withSizes, out);
        AddKeys(HKEY_CURRENT_USER, "HKCU\\", kVendorKey, out);
        AddKeys(HKEY_LOCAL_MACHINE, "HKLM\\", kVendorKey, out);
        AddKeys(HKEY_LOCAL_MACHINE, "HKLM\\", kUninstallEntry, out);
        return out;
    }
    static Snapshot Without(Snapshot snapshot, const std::string& prefix) {
        for (auto it = snapshot.begin(); it != snapshot.end();) {
            it = it->compare(0, prefix.size(), prefix) == 0 ? snapshot.erase(it) : std::next(it);
        }
        return snapshot;
    }

    bool InstallToCompletion() {
        driver::Click(m_dialog, kInstall);
        if (!driver::WaitUntil([&] { return driver::IsItemVisible(m_dialog, kCompletionText); }) ||
            !driver::WaitForIdle(m_dialog)) {
            return false;
        }
        driver::Click(m_dialog, kDone);
        return WaitForExit();
    }

    // Starts the uninstaller in the installation folder and answers its
    // boxes; it goes on in a copy of itself it starts. The final box's text.
    std::string Uninstall() {
        driver::Process launcher;
        driver::Process uninstaller;
        if (!launcher.Start(std::string(kInstallFolder) + "\\Uninstall.exe") ||
            !uninstaller.Adopt(driver::WaitForChildProcess(launcher.Id()))) {
            return "(no uninstaller)";
        }
        HWND confirm = driver::WaitForMessageBox(uninstaller.Id(), {});
        if (!confirm || !driver::WaitForInput(confirm)) return "(no question)";
        driver::Click(confirm, IDYES);
        driver::WaitForClose(confirm);
        HWND done = driver::WaitForMessageBox(uninstaller.Id(), {});
        if (!done || !driver::WaitForInput(done)) return "(no final box)";
        const std::string text = driver::MessageBoxText(done);
        Screenshot(done, "uninstalled");
        driver::Click(done, IDOK);
        EXPECT_TRUE(uninstaller.WaitForExit());
        return text;
    }
};

TEST_F(LifecycleTest, UninstallingLeavesTheMachineAsItWasButTheSettings) {
    const std::string host = AddHost(2025);
    // An older library the host had before: it stays.
    ASSERT_TRUE(driver::WriteTextFile(host + "\\itextsharp.dll", "older\r\n"));
    const std::string settings = AppDataFolder() + "\\Torvex";
    const Snapshot before = Without(TakeSnapshot(false), settings);

    ASSERT_TRUE(Launch());
    ASSERT_TRUE(InstallToCompletion());
    std::string location;
    EXPECT_TRUE(
        driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "InstallLocation", &location));
    EXPECT_EQ(location, kInstallFolder);

    const std::string summary = Uninstall();
    EXPECT_NE(summary.find("已卸载"), std::string::npos) << summary;
    EXPECT_EQ(Without(TakeSnapshot(false), settings), before);
    EXPECT_TRUE(driver::FileExists(host + "\\itextsharp.dll"));
    EXPECT_TRUE(driver::FileExists(settings + "\\Torvex.Ini"));
}

TEST_F(LifecycleTest, AnAbortedInstallationLeavesTheMachineAsItWas) {
    AddHost(2025);
    ASSERT_TRUE(Launch({}, {2023, 2024}, 20));
    // An older module the copy replaces before it meets the held file, the
    // last of the listing: everything else has been copied by then.
    const std::vector<std::string> listing = PackageListing();
    ASSERT_FALSE(listing.empty());
    ASSERT_TRUE(driver::CreateFolders(kInstallFolder));
    ASSERT_TRUE(driver::WriteTextFile(std::string(kInstallFolder) + "\\GCAD2023P.dll", "old"));
    FileLock lock(std::string(kInstallFolder) + "\\" + listing.back());
    ASSERT_TRUE(lock.IsHeld());
    const Snapshot before = TakeSnapshot(true);

    driver::Click(m_dialog, kInstall);
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    driver::Click(box, IDABORT);
    ASSERT_TRUE(WaitForExit());
    EXPECT_EQ(TakeSnapshot(true), before);
    EXPECT_EQ(driver::ReadTextFile(std::string(kInstallFolder) + "\\GCAD2023P.dll"), "old");
}

}  // namespace
}  // namespace e2e
