// Copying the package into the installation folder, on Wine's real file
// system, with the user's answers given in-process.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "deploy/package_copy.h"
#include "deploy/package_source.h"
#include "framework/afx_app_name.h"
#include "framework/scoped_handles.h"
#include "record/served_places.h"
#include "system/file_ops.h"
#include "tests/deploy/deploy_test_support.h"
#include "tests/support/scratch_registry.h"
#include "text/path_text.h"

namespace {

using deploy_test::IsReadOnly;
using deploy_test::ListFolder;
using deploy_test::MakeFolder;
using deploy_test::ReadTextFile;
using deploy_test::ScopedEnvironmentVariable;
using deploy_test::StepCounter;
using deploy_test::WriteTextFile;

constexpr char kCaption[] = "T-软件安装";
constexpr char kMissing[] = "<missing>";

std::string CopyFailedText(const CString& destination) {
    return std::string("拷贝文件 ") + destination.GetString() +
           " 失败，可能原因如下：\n\n1、CAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统";
}

// A package in "<temp>\pkg\Data", the installation folder "<temp>\inst"
// (not yet there) and APPDATA pointing at "<temp>\appdata".
class PackageCopyTest : public deploy_test::PackageFixture {
protected:
    bool Copy() { return CopyPackageFiles(setup, install, progress, log); }

    // The files of the installation folder, without "." and ".." and the
    // kept package.
    std::set<std::string> Installed(const char* folder = "") const {
        std::set<std::string> names;
        for (const std::string& name : ListFolder(*folder ? install + "\\" + folder : install)) {
            if (name != "." && name != ".." && name != "Data") names.insert(name);
        }
        return names;
    }

    const CString install = temp / "inst";
};

TEST_F(PackageCopyTest, CopiesByNameAndSkipsSubfolders) {
    AddPackageFile("TX_ZozerIded2023.grx", "grx");
    AddPackageFile("itextsharp.dll", "pdf");
    AddPackageFile("GCAD2024P.dll", "gcad");
    AddPackageFile("setup.exe", "exe");
    AddPackageFile("Torvex.prt5", "prt");
    AddPackageFile("Torvex_EN.shx", "en");
    AddPackageFile("TORVEX_hz.SHX", "hz");
    AddPackageFile("TORVEX.INI", "ini");
    ASSERT_TRUE(MakeFolder(data + "\\sub"));
    ASSERT_TRUE(WriteTextFile(data + "\\sub\\inner.dll", "inner"));

    EXPECT_TRUE(Copy());
    EXPECT_EQ(Installed(), (std::set<std::string>{"TX_ZozerIded2023.grx", "itextsharp.dll",
                                                  "GCAD2024P.dll", "UserSettings"}));
    EXPECT_EQ(ReadTextFile(install + "\\GCAD2024P.dll"), "gcad");
    // The settings file keeps the listing's spelling of its name, and a copy
    // stays for the users the per-user stage serves.
    EXPECT_EQ(ReadTextFile(appData + "\\Torvex\\TORVEX.INI"), "ini");
    EXPECT_EQ(ReadTextFile(install + "\\UserSettings\\TORVEX.INI"), "ini");
    // Every file the installation uses is kept, for a repair without the package.
    EXPECT_EQ(Installed("Data"),
              (std::set<std::string>{"TX_ZozerIded2023.grx", "itextsharp.dll", "GCAD2024P.dll",
                                     "Torvex_EN.shx", "TORVEX_hz.SHX", "TORVEX.INI"}));
    EXPECT_EQ(ReadTextFile(install + "\\Data\\TORVEX_hz.SHX"), "hz");
    EXPECT_TRUE(boxes.boxes.empty());
    // 8 files, the subfolder, "." and "..": one step per entry, one at the end.
    EXPECT_EQ(progress.steps, 12);
}

TEST_F(PackageCopyTest, FlatPackageLeavesTheSetupProgramBehind) {
    const CString flat = temp / "flat";
    ASSERT_TRUE(MakeFolder(flat));
    ASSERT_TRUE(WriteTextFile(flat + "\\SetUp.EXE", "exe"));
    ASSERT_TRUE(WriteTextFile(flat + "\\TX_ZozerIded2023.grx", "grx"));
    EXPECT_TRUE(CopyPackageFiles(flat, install, progress, log));
    EXPECT_EQ(Installed(), (std::set<std::string>{"TX_ZozerIded2023.grx"}));
    EXPECT_EQ(progress.steps, 5);
}

TEST_F(PackageCopyTest, MissingPackageCreatesAndStepsNothing) {
    const CString empty = temp / "empty";
    ASSERT_TRUE(MakeFolder(empty));
    EXPECT_FALSE(CopyPackageFiles(empty, install, progress, log));
    EXPECT_EQ(progress.steps, 0);
    EXPECT_EQ(GetPathKind(install), PathKind::Absent);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK));
}

TEST_F(PackageCopyTest, EveryOneOfManyFilesIsCopied) {
    constexpr int kFiles = 120;
    std::set<std::string> expected;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "module" + std::to_string(i) + ".dll";
        AddPackageFile(name.c_str(), name);
        expected.insert(name);
    }
    EXPECT_TRUE(Copy());
    EXPECT_EQ(Installed(), expected);
    EXPECT_EQ(ReadTextFile(install + "\\module119.dll"), "module119.dll");
    EXPECT_EQ(progress.steps, kFiles + 2 + 1);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PackageCopyTest, ReadOnlyFilesEndWritable) {
    AddPackageFile("module.dll", "new");
    ASSERT_TRUE(SetFileAttributesA(data + "\\module.dll", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(MakeFolder(install));
    ASSERT_TRUE(WriteTextFile(install + "\\module.dll", "old"));
    ASSERT_TRUE(SetFileAttributesA(install + "\\module.dll", FILE_ATTRIBUTE_READONLY));

    EXPECT_TRUE(Copy());
    EXPECT_EQ(ReadTextFile(install + "\\module.dll"), "new");
    EXPECT_FALSE(IsReadOnly(install + "\\module.dll"));
    EXPECT_FALSE(IsReadOnly(data + "\\module.dll"));
    EXPECT_TRUE(boxes.boxes.empty());
}

// A destination held open without sharing, as a running host holds its modules.
class LockedDestinationTest : public PackageCopyTest {
protected:
    void SetUp() override {
        PackageCopyTest::SetUp();
        for (const char* name : {"a.dll", "b.dll", "c.dll", "d.dll", "e.dll"}) {
            AddPackageFile(name, std::string("new ") + name);
        }
        ASSERT_TRUE(MakeFolder(install));
        // The middle file of the listing, so that some come before it and some after.
        const std::vector<std::string> listing = ListFolder(data);
        for (const std::string& name : listing) {
            if (name != "." && name != "..") order.push_back(name);
        }
        ASSERT_EQ(order.size(), 5u);
        lockedPosition =
            static_cast<int>(std::find(listing.begin(), listing.end(), order[2]) - listing.begin());
        locked = install + "\\" + order[2].c_str();
        ASSERT_TRUE(WriteTextFile(locked, "old"));
        lock.Reset(CreateFileA(locked, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock.IsValid());
    }

    std::vector<std::string> order;  // the files in listing order
    int lockedPosition = 0;          // in the whole listing, "." and ".." included
    CString locked;
    afx::ScopedKernelHandle lock;
};

TEST_F(LockedDestinationTest, BoxNamesTheDestinationAndRetryCopiesOnceReleased) {
    boxes.handler = [this](int index, const ShownBox&) {
        if (index == 2) lock.Reset();  // the host is closed at the third ask
        return IDRETRY;
    };
    EXPECT_TRUE(Copy());
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[0].text, CopyFailedText(locked));
    EXPECT_EQ(boxes.boxes[0].caption, kCaption);
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_ABORTRETRYIGNORE));
    EXPECT_EQ(boxes.boxes[0].owner, nullptr);
    EXPECT_EQ(ReadTextFile(locked), "new " + order[2]);
    log.journal.Commit();
    log.journal.Finish(ServedPlaces(install));  // the old file kept aside goes
    EXPECT_EQ(Installed().size(), 5u);
}

TEST_F(LockedDestinationTest, AbortStopsAtOnceAndKeepsEarlierCopies) {
    boxes.handler = [](int, const ShownBox&) { return IDABORT; };
    EXPECT_FALSE(Copy());
    EXPECT_EQ(boxes.boxes.size(), 1u);
    lock.Reset();
    EXPECT_EQ(ReadTextFile(install + "\\" + order[0].c_str()), "new " + order[0]);
    EXPECT_EQ(ReadTextFile(install + "\\" + order[1].c_str()), "new " + order[1]);
    EXPECT_EQ(ReadTextFile(locked), "old");
    EXPECT_EQ(ReadTextFile(install + "\\" + order[3].c_str()), kMissing);
    EXPECT_EQ(ReadTextFile(install + "\\" + order[4].c_str()), kMissing);
    // One step before each fetch up to the locked file's, none after it.
    EXPECT_EQ(progress.steps, lockedPosition + 1);
}

TEST_F(LockedDestinationTest, IgnoreGoesOnWithTheRest) {
    boxes.handler = [](int, const ShownBox&) { return IDIGNORE; };
    EXPECT_TRUE(Copy());
    EXPECT_EQ(boxes.boxes.size(), 1u);
    lock.Reset();
    EXPECT_EQ(ReadTextFile(locked), "old");
    for (size_t i : {0u, 1u, 3u, 4u}) {
        EXPECT_EQ(ReadTextFile(install + "\\" + order[i].c_str()), "new " + order[i]);
    }
    EXPECT_EQ(progress.steps, 8);
}

TEST_F(PackageCopyTest, SettingsFolderIsCreatedOneLevel) {
    AddPackageFile("Torvex.Ini", "settings");
    EXPECT_TRUE(Copy());
    EXPECT_EQ(ReadTextFile(appData + "\\Torvex\\Torvex.Ini"), "settings");
    EXPECT_EQ(Installed(), std::set<std::string>{"UserSettings"});
}

TEST_F(PackageCopyTest, SettingsFolderThatCannotBeMadeAsksTheUser) {
    AddPackageFile("Torvex.Ini", "settings");
    const CString missingParent = temp / "no\\such\\appdata";
    const ScopedEnvironmentVariable variable("APPDATA", missingParent);
    boxes.handler = [](int, const ShownBox&) { return IDIGNORE; };
    EXPECT_TRUE(Copy());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(
        boxes.boxes[0].text,
        deploy_test::CopyErrorText(missingParent + "\\Torvex\\Torvex.Ini", ERROR_PATH_NOT_FOUND));
}

// Without a usable APPDATA the settings go to the shell's application-data
// folder, redirected here through a sandboxed profile; never to "\Torvex" on
// the current drive.
class ShellSettingsFolderTest : public PackageCopyTest {
protected:
    void SetUp() override {
        PackageCopyTest::SetUp();
        ASSERT_TRUE(sandbox.IsReady());
        ASSERT_TRUE(MakeFolder(shellAppData));
        SetShellAppData(shellAppData);
        AddPackageFile("Torvex.Ini", "settings");
        ASSERT_TRUE(GetCurrentDirectoryA(MAX_PATH, previousDirectory));
        ASSERT_TRUE(SetCurrentDirectoryA(temp.Path()));
        driveRootBefore = GetFileAttributesA(kDriveRootSettings);
    }
    void TearDown() override { SetCurrentDirectoryA(previousDirectory); }

    static void SetShellAppData(const char* folder) {
        ASSERT_TRUE(SetValue(HKEY_CURRENT_USER,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell "
                             "Folders",
                             "AppData", REG_EXPAND_SZ, folder,
                             static_cast<DWORD>(std::strlen(folder) + 1)));
    }

    void ExpectShellFolderUsed() {
        EXPECT_TRUE(Copy());
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(ReadTextFile(shellAppData + "\\Torvex\\Torvex.Ini"), "settings");
        EXPECT_EQ(ReadTextFile(appData + "\\Torvex\\Torvex.Ini"), kMissing);
        EXPECT_EQ(GetFileAttributesA(kDriveRootSettings), driveRootBefore);
        if (driveRootBefore == INVALID_FILE_ATTRIBUTES) {
            EXPECT_EQ(GetPathKind(kDriveRootSettings), PathKind::Absent);
        }
    }

    static constexpr char kDriveRootSettings[] = "\\Torvex\\Torvex.Ini";
    ScratchRegistryRoots sandbox;
    const CString shellAppData = temp / "shell";
    char previousDirectory[MAX_PATH] = {};
    DWORD driveRootBefore = INVALID_FILE_ATTRIBUTES;
};

TEST_F(ShellSettingsFolderTest, WithoutAppData) {
    const ScopedEnvironmentVariable variable("APPDATA", nullptr);
    ExpectShellFolderUsed();
}

TEST_F(ShellSettingsFolderTest, WithAnAppDataTooLongForTheFileFunctions) {
    const std::string tooLong = std::string(appData.GetString()) + "\\" + std::string(260, 'x');
    const ScopedEnvironmentVariable variable("APPDATA", tooLong.c_str());
    ExpectShellFolderUsed();
}

TEST_F(ShellSettingsFolderTest, WithNoUsableFolderAtAllTheSettingsAreCountedNotWritten) {
    const ScopedEnvironmentVariable variable("APPDATA", nullptr);
    SetShellAppData("relative\\appdata");
    EXPECT_TRUE(Copy());
    EXPECT_TRUE(boxes.boxes.empty());
    ASSERT_EQ(log.notDone.GetCount(), 1);
    EXPECT_NE(log.notDone.WarningText().Narrow().str().find("Torvex.Ini"), std::string::npos);
    EXPECT_EQ(GetFileAttributesA(kDriveRootSettings), driveRootBefore);
}

TEST_F(PackageCopyTest, TheUsersOwnSettingsAreKeptBesideTheNewOnes) {
    AddPackageFile("Torvex.Ini", "package settings");
    const CString folder = appData + "\\Torvex";
    ASSERT_TRUE(MakeFolder(folder));
    ASSERT_TRUE(WriteTextFile(folder + "\\Torvex.Ini", "the user's own"));
    ServedPlaces places(install);
    places.AddSettingsFolder(folder);
    for (const char* own : {"the user's own", "", "changed again"}) {
        // The second run meets the package's own settings: nothing to keep.
        if (*own) {
            ASSERT_TRUE(WriteTextFile(folder + "\\Torvex.Ini", own));
        }
        EXPECT_TRUE(Copy());
        log.journal.Commit();
        log.journal.Finish(places);
    }
    EXPECT_EQ(ReadTextFile(folder + "\\Torvex.Ini"), "package settings");
    // Within one second too: a later backup never overwrites an earlier one.
    std::multiset<std::string> kept;
    for (const std::string& name : ListFolder(folder)) {
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bak") == 0) {
            kept.insert(ReadTextFile(folder + "\\" + name.c_str()));
        }
    }
    EXPECT_EQ(kept, (std::multiset<std::string>{"changed again", "the user's own"}));
}

TEST_F(PackageCopyTest, OverlongDestinationIsNamedWholeInTheBox) {
    AddPackageFile("module.dll", "m");
    // An installation folder the ANSI functions refuse to create.
    const CString overlong = temp / std::string(280, 'i').c_str();
    boxes.handler = [](int, const ShownBox&) { return IDIGNORE; };
    EXPECT_TRUE(CopyPackageFiles(setup, overlong, progress, log));
    ASSERT_EQ(boxes.boxes.size(), 2u);  // and its copy in the kept package
    const CString destination = overlong + "\\module.dll";
    ASSERT_GT(destination.GetLength(), MAX_PATH);
    EXPECT_EQ(boxes.boxes[0].text,
              deploy_test::CopyErrorText(destination, ERROR_FILENAME_EXCED_RANGE));
}

TEST_F(PackageCopyTest, LongDestinationNameIsNeverCut) {
    // The folder fits the ANSI limit, the file name takes the path beyond it.
    CString folder = temp / "inst";
    while (folder.GetLength() < MAX_PATH - 40) folder += "\\dddddddddddddddddddd";
    const std::string name = std::string(60, 'n') + ".dll";
    AddPackageFile(name.c_str(), "long");
    const CString destination = folder + "\\" + name.c_str();
    ASSERT_GT(destination.GetLength(), MAX_PATH);
    // Every level but the last; the copy makes the last one.
    for (size_t at = install.GetLength(); at != std::string::npos;
         at = folder.str().find('\\', at + 1)) {
        MakeFolder(folder.Left(static_cast<int>(at)));
    }
    boxes.handler = [](int, const ShownBox&) { return IDIGNORE; };
    EXPECT_TRUE(CopyPackageFiles(setup, folder, progress, log));
    if (boxes.boxes.empty()) {
        // Copied (Wine's copy takes such names): under the whole name only.
        EXPECT_TRUE(ExistsAnyLength(destination));
        std::vector<std::string> listed = ListFolder(folder);
        listed.erase(std::remove_if(listed.begin(), listed.end(),
                                    [](const std::string& n) { return n == "." || n == ".."; }),
                     listed.end());
        EXPECT_EQ(listed, std::vector<std::string>{name});
    } else {
        ASSERT_EQ(boxes.boxes.size(), 2u);  // and its copy in the kept package
        EXPECT_EQ(boxes.boxes[0].text,
                  deploy_test::CopyErrorText(destination, ERROR_FILENAME_EXCED_RANGE));
    }
}

TEST_F(PackageCopyTest, TheTestProgramsOwnFolderHoldsNoPackage) {
    EXPECT_FALSE(CopyPackageFiles(ParentFolder(afx::GetModulePath()), install, progress, log));
    EXPECT_EQ(progress.steps, 0);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(GetPathKind(install), PathKind::Absent);
}

}  // namespace
