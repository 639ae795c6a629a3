// The install command, driven through the real SetUp.exe under Wine: what
// lands in the folders and the registry, the boxes on the way, the progress
// bar and the completion layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"
// after windows.h, which it builds on
#include <commctrl.h>

namespace e2e {
namespace {

using driver::IsItemVisible;
using driver::ItemText;

constexpr const char* kDefaultInstallFolder = "C:\\Torvex\\T-ZozerIded";
constexpr const char* kCloseHostText = "请关闭CAD后再进行安装 !";
constexpr const char* kNoDataText =
    "未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !";
constexpr int kProgressHigh = 50;
constexpr int kBoxIconId = 1088;  // a message box's icon static
constexpr int kCompletionShrinkDialogUnits = 48;

std::string CopyFailedText(const std::string& destination) {
    return "拷贝文件 " + destination +
           " 失败，可能原因如下：\n\n1、CAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统";
}

std::string HostKey(int year, const std::string& product = kProduct) {
    return product + "\\R" + std::to_string(year % 100) + "\\zh-CN\\";
}

// Wine enumerates values by name, Windows in creation order: compare as sets.
std::vector<std::string> SortedValueNames(const std::string& key) {
    std::vector<std::string> names = driver::ValueNames(HKEY_CURRENT_USER, key);
    std::sort(names.begin(), names.end());
    return names;
}

// Exactly the two entries the plug-in needs, and nothing else.
void ExpectRegistered(const std::string& hostKey, int year, const std::string& installFolder,
                      const std::string& hostFolder, int mainModule, int companionModule) {
    SCOPED_TRACE(hostKey);
    const std::string main = hostKey + "Applications\\TX_ZozerIded" + std::to_string(year);
    const std::string companion = hostKey + "Applications\\Torvex" + std::to_string(year) + "DLLP";
    EXPECT_EQ(SortedValueNames(main), (std::vector<std::string>{"LOADER", "MANAGED"}));
    EXPECT_EQ(SortedValueNames(companion),
              (std::vector<std::string>{"LOADCTRLS", "LOADER", "MANAGED"}));
    DWORD number = 99;
    std::string text;
    EXPECT_TRUE(driver::ReadDword(HKEY_CURRENT_USER, main, "MANAGED", &number));
    EXPECT_EQ(number, 0u);
    EXPECT_TRUE(driver::ReadString(HKEY_CURRENT_USER, main, "LOADER", &text));
    EXPECT_EQ(text, installFolder + "\\TX_ZozerIded" + std::to_string(mainModule) + ".GRX");
    EXPECT_TRUE(driver::ReadDword(HKEY_CURRENT_USER, companion, "LOADCTRLS", &number));
    EXPECT_EQ(number, 2u);
    EXPECT_TRUE(driver::ReadString(HKEY_CURRENT_USER, companion, "LOADER", &text));
    EXPECT_EQ(text, hostFolder + "\\GCAD" + std::to_string(companionModule) + "P.dll");
    EXPECT_TRUE(driver::ReadDword(HKEY_CURRENT_USER, companion, "MANAGED", &number));
    EXPECT_EQ(number, 1u);
}

void ExpectNotRegistered(const std::string& hostKey) {
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, hostKey + "Applications")) << hostKey;
}

void ExpectDeployed(const std::string& hostFolder) {
    SCOPED_TRACE(hostFolder);
    EXPECT_EQ(FilesIn(hostFolder),
              (std::vector<std::string>{"GCAD2023P.dll", "GCAD2024P.dll", "itextsharp.dll"}));
    EXPECT_EQ(FilesIn(hostFolder + "\\Fonts"),
              (std::vector<std::string>{"Torvex_EN.shx", "Torvex_HZ.shx"}));
}

void ExpectUntouched(const std::string& hostFolder) {
    EXPECT_TRUE(FilesIn(hostFolder).empty()) << hostFolder;
    EXPECT_TRUE(FilesIn(hostFolder + "\\Fonts").empty()) << hostFolder;
}

// What a package with the default sample files leaves in the installation
// folder: the package's files, the install record, the uninstaller and the
// per-user stage.
std::vector<std::string> InstalledPackage(int extraFiles = 0) {
    std::vector<std::string> names = {
        "GCAD2023P.dll",        "GCAD2024P.dll", "InstallRecord.txt", "TX_ZozerIded2023.grx",
        "TX_ZozerIded2026.grx", "Uninstall.exe", "UserSetup.exe",     "itextsharp.dll"};
    for (int i = 0; i < extraFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "extra%03d.dat", i);
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool HasIcon(HWND box) {
    return SendMessageA(GetDlgItem(box, kBoxIconId), STM_GETICON, 0, 0) != 0;
}

// Where the platform's progress bar, set up as the install command sets
// its own, stands after a number of steps: a bar of this process, stepped.
int BarPositionAfterSteps(int steps) {
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressHigh));
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    for (int i = 0; i < steps; ++i) SendMessageA(bar, PBM_STEPIT, 0, 0);
    const int pos = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
    DestroyWindow(bar);
    return pos;
}

class InstallTest : public SetupTest {
protected:
    void Install() { driver::Click(m_dialog, kInstall); }
    bool WaitForCompletion() {
        // The layout changes in one handler: wait for its first step, then
        // for the handler to end.
        return driver::WaitUntil([&] { return IsItemVisible(m_dialog, kCompletionText); }) &&
               driver::WaitForIdle(m_dialog);
    }
    int ProgressPos() {
        return static_cast<int>(SendMessageA(GetDlgItem(m_dialog, kProgress), PBM_GETPOS, 0, 0));
    }
    void InstallInto(const char* folderText) {
        driver::SetItemText(m_dialog, kPathEdit, folderText);
        Install();
    }
};

TEST_F(InstallTest, DefaultFolderGetsThePackageHostsTheirFilesAndProfilesTheirEntries) {
    const std::string cad2025 = AddHost(2025);
    const std::string arch2026 = AddHost(2026, "SOFTWARE\\Gstarsoft\\GstarArch");
    ASSERT_TRUE(Launch());
    Install();
    ASSERT_TRUE(WaitForCompletion());

    EXPECT_EQ(FilesIn(kDefaultInstallFolder), InstalledPackage());
    EXPECT_FALSE(driver::FolderExists(std::string(kDefaultInstallFolder) + "\\docs"));
    EXPECT_EQ(FilesIn(AppDataFolder() + "\\Torvex"), (std::vector<std::string>{"Torvex.Ini"}));
    EXPECT_EQ(driver::ReadTextFile(AppDataFolder() + "\\Torvex\\Torvex.Ini"),
              driver::ReadTextFile(PackageFolder() + "\\Data\\Torvex.Ini"));
    ExpectDeployed(cad2025);
    ExpectDeployed(arch2026);
    ExpectRegistered(HostKey(2025), 2025, kDefaultInstallFolder, cad2025, 2023, 2024);
    ExpectRegistered(HostKey(2026, "SOFTWARE\\Gstarsoft\\GstarArch"), 2026, kDefaultInstallFolder,
                     arch2026, 2026, 2024);
    EXPECT_EQ(ProgressPos(), kProgressHigh);
}

TEST_F(InstallTest, OnlyTickedReleasesAreRegisteredAndDeployed) {
    const std::string host2024 = AddHost(2024);
    const std::string host2025 = AddHost(2025);
    const std::string host2026 = AddHost(2026);
    ASSERT_TRUE(Launch());
    driver::Click(m_dialog, kBox2025);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::ItemCheck(m_dialog, kBox2025) == 0; }));
    Install();
    ASSERT_TRUE(WaitForCompletion());
    ExpectRegistered(HostKey(2024), 2024, kDefaultInstallFolder, host2024, 2023, 2024);
    ExpectRegistered(HostKey(2026), 2026, kDefaultInstallFolder, host2026, 2026, 2024);
    ExpectNotRegistered(HostKey(2025));
    ExpectDeployed(host2024);
    ExpectDeployed(host2026);
    ExpectUntouched(host2025);
}

struct FolderCase {
    const char* typed;
    const char* installFolder;  // as registered
    const char* onDisk;         // where the files really are
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << "typed \"" << c.typed << "\"";
}

class FolderTextTest : public InstallTest, public ::testing::WithParamInterface<FolderCase> {
protected:
    ~FolderTextTest() override {
        driver::RemoveTree("D:\\Tools");
        driver::RemoveTree("D:\\T-ZozerIded");
    }
};

TEST_P(FolderTextTest, OneTrailingBackslashGoesBeforeTheSubFolder) {
    const FolderCase& c = GetParam();
    const std::string host = AddHost(2025);
    ASSERT_TRUE(driver::FolderExists("D:\\")) << "the rig maps a drive D:";
    ASSERT_TRUE(Launch());
    InstallInto(c.typed);
    ASSERT_TRUE(WaitForCompletion());
    EXPECT_EQ(FilesIn(c.onDisk), InstalledPackage());
    ExpectRegistered(HostKey(2025), 2025, c.installFolder, host, 2023, 2024);
    EXPECT_EQ(ItemText(m_dialog, kPathEdit), c.installFolder);
}

INSTANTIATE_TEST_SUITE_P(Texts, FolderTextTest,
                         ::testing::Values(FolderCase{"D:\\Tools\\", "D:\\Tools\\T-ZozerIded",
                                                      "D:\\Tools\\T-ZozerIded"},
                                           FolderCase{"D:\\", "D:\\T-ZozerIded", "D:\\T-ZozerIded"},
                                           FolderCase{"D:\\Tools\\\\", "D:\\Tools\\\\T-ZozerIded",
                                                      "D:\\Tools\\T-ZozerIded"}));

TEST_F(InstallTest, AFolderTextWhoseParentsAreMissingIsMadeWhole) {
    AddHost(2025);
    ASSERT_TRUE(Launch());
    const std::string typed = Scratch() + "\\missing\\parent";
    InstallInto(typed.c_str());
    ASSERT_TRUE(WaitForCompletion());
    EXPECT_EQ(FilesIn(typed + "\\T-ZozerIded"), InstalledPackage());
}

TEST_F(InstallTest, RunningHostIsWarnedOnceThenTheSecondClickInstalls) {
    AddHost(2025);
    const std::string hostExe = Scratch() + "\\host\\gcad.exe";
    driver::CreateFolders(Scratch() + "\\host");
    ASSERT_TRUE(CopyFileA(driver::WindowsPathOf(DUMMY_HOST_PATH).c_str(), hostExe.c_str(), FALSE));
    driver::Process gcad;
    ASSERT_TRUE(gcad.Start(hostExe));
    ASSERT_TRUE(Launch());

    Install();
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(driver::Text(box), kBoxCaption);
    EXPECT_EQ(driver::MessageBoxText(box), kCloseHostText);
    EXPECT_FALSE(HasIcon(box)) << "the box has no icon";
    EXPECT_EQ(GetWindow(box, GW_OWNER), m_dialog);
    driver::Click(box, IDOK);
    ASSERT_TRUE(driver::WaitForClose(box));
    EXPECT_FALSE(driver::FolderExists("C:\\Torvex"));
    EXPECT_TRUE(IsItemVisible(m_dialog, kInstall));

    Install();  // the host still runs: no second warning
    EXPECT_TRUE(WaitForCompletion());
    EXPECT_TRUE(gcad.IsRunning());
}

TEST_F(InstallTest, LongPackageWrapsTheBarRetryAfterReleaseGoesOnAndTheBarEndsFull) {
    const int extraFiles = 70;
    AddHost(2025);
    ASSERT_TRUE(Launch({}, {2023, 2024}, extraFiles));
    // Hold the destination of the last file the listing yields.
    const std::vector<std::string> data = FilesIn(PackageFolder() + "\\Data");
    const std::vector<std::string> listing = PackageListing();
    ASSERT_FALSE(listing.empty());
    const std::string last = listing.back();
    ASSERT_TRUE(std::count(data.begin(), data.end(), last)) << last << " is not a plain file";
    FileLock lock(std::string(kDefaultInstallFolder) + "\\" + last);
    ASSERT_TRUE(lock.IsHeld());

    Install();
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(driver::MessageBoxText(box),
              CopyFailedText(std::string(kDefaultInstallFolder) + "\\" + last));
    // One step before each fetched entry: the bar has gone round once.
    const int steps = static_cast<int>(listing.size());
    ASSERT_GT(steps, kProgressHigh);
    EXPECT_EQ(ProgressPos(), BarPositionAfterSteps(steps));
    EXPECT_LT(ProgressPos(), steps);

    driver::Click(box, IDRETRY);
    HWND again = WaitForBox();
    ASSERT_TRUE(again) << "still held: the box comes back";
    lock.Release();
    driver::Click(again, IDRETRY);
    ASSERT_TRUE(WaitForCompletion());
    EXPECT_EQ(FilesIn(kDefaultInstallFolder), InstalledPackage(extraFiles));
    EXPECT_EQ(ProgressPos(), kProgressHigh);
}

TEST_F(InstallTest, IgnoreLeavesTheHeldFileAndGoesOn) {
    const std::string host = AddHost(2025);
    const std::string held = std::string(kDefaultInstallFolder) + "\\itextsharp.dll";
    FileLock lock(held);
    ASSERT_TRUE(lock.IsHeld());
    ASSERT_TRUE(Launch());
    Install();
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(driver::MessageBoxText(box), CopyFailedText(held));
    driver::Click(box, IDIGNORE);
    ASSERT_TRUE(driver::WaitForClose(box));
    // What was passed over is told before the completion layout.
    HWND warning = WaitForBox();
    ASSERT_TRUE(warning);
    EXPECT_NE(driver::MessageBoxText(warning).find(held), std::string::npos);
    EXPECT_TRUE(HasIcon(warning)) << "a warning icon";
    driver::Click(warning, IDOK);
    ASSERT_TRUE(WaitForCompletion());
    lock.Release();
    EXPECT_EQ(driver::ReadTextFile(held), "held by a running host\r\n");
    EXPECT_EQ(FilesIn(kDefaultInstallFolder), InstalledPackage());
    ExpectRegistered(HostKey(2025), 2025, kDefaultInstallFolder, host, 2023, 2024);
    ExpectDeployed(host);
}

TEST_F(InstallTest, ClosingTheDialogDuringTheFinalWarningEndsTheProgram) {
    AddHost(2025);
    FileLock lock(std::string(kDefaultInstallFolder) + "\\itextsharp.dll");
    ASSERT_TRUE(lock.IsHeld());
    ASSERT_TRUE(Launch());
    Install();
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    driver::Click(box, IDIGNORE);
    ASSERT_TRUE(driver::WaitForClose(box));
    HWND warning = WaitForBox();
    ASSERT_TRUE(warning);
    PostMessageA(m_dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(driver::WaitForClose(warning));
    EXPECT_TRUE(WaitForExit()) << "the completion layout came instead";
}

TEST_F(InstallTest, AbortClosesWithNothingRegisteredOrDeployed) {
    const std::string host = AddHost(2025);
    FileLock lock(std::string(kDefaultInstallFolder) + "\\itextsharp.dll");
    ASSERT_TRUE(Launch());
    Install();
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    driver::Click(box, IDABORT);
    EXPECT_TRUE(WaitForExit());
    ExpectNotRegistered(HostKey(2025));
    ExpectUntouched(host);
}

TEST_F(InstallTest, MissingDataFolderIsToldThenTheWindowCloses) {
    const std::string host = AddHost(2025);
    ASSERT_TRUE(Launch());
    driver::RemoveTree(PackageFolder() + "\\Data");
    Install();
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(driver::Text(box), kBoxCaption);
    EXPECT_EQ(driver::MessageBoxText(box), kNoDataText);
    driver::Click(box, IDOK);
    EXPECT_TRUE(WaitForExit());
    EXPECT_TRUE(FilesIn(kDefaultInstallFolder).empty());
    ExpectNotRegistered(HostKey(2025));
    ExpectUntouched(host);
}

TEST_F(InstallTest, EmptyFolderTextIsReportedAndNothingIsCreated) {
    AddHost(2025);
    ASSERT_TRUE(Launch());
    InstallInto("");
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(driver::Text(box), kAppName);
    EXPECT_TRUE(HasIcon(box)) << "a stop icon";
    char expected[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(E_INVALIDARG), 0, expected, sizeof(expected), nullptr);
    std::string text = expected;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(driver::MessageBoxText(box), text);
    driver::Click(box, IDOK);
    ASSERT_TRUE(driver::WaitForClose(box));
    EXPECT_FALSE(driver::FolderExists("C:\\Torvex"));
    EXPECT_FALSE(driver::FolderExists("\\T-ZozerIded"));
    EXPECT_TRUE(IsItemVisible(m_dialog, kInstall));
    EXPECT_TRUE(IsItemVisible(m_dialog, kPathEdit));
}

TEST_F(InstallTest, CompletionLayoutShowsTheResultAndItsButtonEndsTheProgram) {
    AddHost(2025);
    ASSERT_TRUE(Launch());
    const RECT before = driver::WindowRect(m_dialog);
    Install();
    ASSERT_TRUE(WaitForCompletion());
    for (int shown : {kCompletionText, kMenuPicture, kDone, kTitle, kEdition})
        EXPECT_TRUE(IsItemVisible(m_dialog, shown)) << shown;
    for (int hidden :
         {kReleaseHeading, kProgress, kInstall, kCancel, kNote, kHiddenNote1, kHiddenNote2,
          kBox2023, kBox2024, kBox2025, kBox2026, kPathHeading, kPathEdit, kBrowse})
        EXPECT_FALSE(IsItemVisible(m_dialog, hidden)) << hidden;
    const RECT after = driver::WindowRect(m_dialog);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ((before.bottom - before.top) - (after.bottom - after.top),
              DialogUnitsToPixelsY(kCompletionShrinkDialogUnits));
    Screenshot(m_dialog, "dialog-complete");
    driver::Click(m_dialog, kDone);
    EXPECT_TRUE(WaitForExit());
}

}  // namespace
}  // namespace e2e
