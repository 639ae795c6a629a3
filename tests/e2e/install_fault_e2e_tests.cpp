// The install command where the chosen folder cannot take the package: its
// installation folder taken by a file, or a folder text at and past the
// 260-byte limit of the ANSI file functions. Either the user is told with a
// box that names the whole path, or every file is really there; never a
// completion over missing files.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

constexpr const char* kCopyFailedPrefix = "拷贝文件 ";
// The box names Windows' error: no retry mends either fault.
constexpr const char* kCopyFailedSuffix = " 失败（错误 ";
constexpr const char* kInstallFolderName = "T-ZozerIded";
// What the sample package puts into the installation folder.
const std::set<std::string> kInstalledFiles = {"GCAD2023P.dll", "GCAD2024P.dll",
                                               "TX_ZozerIded2023.grx", "TX_ZozerIded2026.grx",
                                               "itextsharp.dll"};
// Folder levels the long texts are built of; the last takes what is left.
constexpr size_t kUpperLevelLength = 100;
constexpr size_t kLastLevelMaxLength = 200;

std::string HostKey2025() {
    return std::string(kProduct) + "\\R25\\zh-CN\\";
}

// The file a copy-failure box names in the folder, or "" when the text is
// not that box's for a package file in exactly that folder.
std::string FileNamedByCopyBox(const std::string& text, const std::string& folder) {
    const std::string prefix = kCopyFailedPrefix + folder + "\\";
    const size_t end = text.find(kCopyFailedSuffix, prefix.size());
    if (text.compare(0, prefix.size(), prefix) || end == std::string::npos) return std::string();
    const std::string name = text.substr(prefix.size(), end - prefix.size());
    return kInstalledFiles.count(name) ? name : std::string();
}

// Existence through the wide functions, which take paths of any length.
bool ExistsAnyLength(const std::string& path) {
    wchar_t wide[1024] = L"\\\\?\\";
    const int prefix = 4;
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide + prefix, 1024 - prefix)) {
        return false;
    }
    return GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
}

class InstallFaultTest : public SetupTest {
protected:
    void InstallInto(const std::string& folderText) {
        driver::SetItemText(m_dialog, kPathEdit, folderText.c_str());
        driver::Click(m_dialog, kInstall);
    }
    // After a failed copy and Abort: the program ends, nothing is
    // registered, the host folder gets nothing.
    void ExpectAbortEndsWithNothingDone(HWND box, const std::string& hostFolder) {
        ASSERT_TRUE(driver::WaitForInput(box));
        driver::Click(box, IDABORT);
        EXPECT_TRUE(WaitForExit());
        EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, HostKey2025() + "Applications"));
        EXPECT_TRUE(FilesIn(hostFolder).empty());
    }
};

TEST_F(InstallFaultTest, InstallationFolderTakenByAFileIsToldAndAbortCloses) {
    const std::string host = AddHost(2025);
    const std::string chosen = Scratch() + "\\taken";
    const std::string install = chosen + "\\" + kInstallFolderName;
    ASSERT_TRUE(driver::CreateFolders(chosen));
    ASSERT_TRUE(driver::WriteTextFile(install, "a file in the folder's place"));
    ASSERT_TRUE(Launch());
    InstallInto(chosen);
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    const std::string text = driver::MessageBoxText(box);
    EXPECT_NE(FileNamedByCopyBox(text, install), "") << text;
    EXPECT_TRUE(driver::IsItemVisible(box, IDRETRY) && driver::IsItemVisible(box, IDIGNORE));
    ExpectAbortEndsWithNothingDone(box, host);
    EXPECT_EQ(driver::ReadTextFile(install), "a file in the folder's place");
}

// The folder text's length in bytes; the folder above it exists.
class LongFolderTextTest : public InstallFaultTest, public ::testing::WithParamInterface<size_t> {
protected:
    // A folder text of exactly `length` bytes below the scratch folder.
    std::string FolderTextOfLength(size_t length) {
        std::string text = Scratch();
        while (text.size() + 1 + kLastLevelMaxLength < length)
            text += "\\" + std::string(kUpperLevelLength, 'p');
        text += "\\" + std::string(length - text.size() - 1, 'c');
        return text;
    }
};

TEST_P(LongFolderTextTest, EndsInABoxNamingTheWholePathOrWithEveryFileThere) {
    const std::string host = AddHost(2025);
    const std::string chosen = FolderTextOfLength(GetParam());
    ASSERT_EQ(chosen.size(), GetParam());
    ASSERT_TRUE(driver::CreateFolders(chosen.substr(0, chosen.rfind('\\'))));
    const std::string install = chosen + "\\" + kInstallFolderName;
    ASSERT_TRUE(Launch());
    InstallInto(chosen);

    HWND box = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] {
        box = driver::WaitForMessageBox(m_setup.Id(), KnownWindows(), 0);
        return box || driver::IsItemVisible(m_dialog, kCompletionText);
    })) << "neither a box nor the completion layout";
    std::printf("%zu bytes: %s\n", GetParam(), box ? "copy-failure box" : "completed");
    if (box) {
        const std::string text = driver::MessageBoxText(box);
        EXPECT_NE(FileNamedByCopyBox(text, install), "") << text;
        ExpectAbortEndsWithNothingDone(box, host);
        return;
    }
    // Completed: then every file is where the registration says.
    for (const std::string& name : kInstalledFiles) {
        EXPECT_TRUE(ExistsAnyLength(install + "\\" + name)) << name;
    }
    std::string loader;
    EXPECT_TRUE(driver::ReadString(
        HKEY_CURRENT_USER, HostKey2025() + "Applications\\TX_ZozerIded2025", "LOADER", &loader));
    EXPECT_EQ(loader, install + "\\TX_ZozerIded2023.GRX");
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongFolderTextTest, ::testing::Values(259u, 260u, 300u));

}  // namespace
}  // namespace e2e
