// The package copy where the package or the destination is out of the
// ordinary: double-byte names, empty and very large files, an installation
// folder taken by a file, a full volume and a read-only one. Whatever goes
// wrong, the user is asked, and no copy passes for done unless it is whole.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "deploy/host_deployment.h"
#include "deploy/package_copy.h"
#include "deploy/package_source.h"
#include "framework/scoped_handles.h"
#include "system/file_ops.h"
#include "tests/deploy/deploy_test_support.h"
#include "tests/support/gbk_samples.h"

namespace {

using deploy_test::ListFolder;
using deploy_test::MakeFolder;
using deploy_test::ReadTextFile;
using deploy_test::ScopedEnvironmentVariable;
using deploy_test::StepCounter;
using deploy_test::WriteTextFile;

constexpr LONGLONG kHugeFileSize = 200LL * 1024 * 1024;
// Together more than the 1 MiB of the full volume, each alone less.
constexpr size_t kFillerSize = 700 * 1024;
constexpr LONGLONG kModuleSize = 600 * 1024;
constexpr char kTail[] = "the last bytes of the file";
constexpr char kVolumeMark[] = ".small-volume";

std::set<std::string> FilesIn(const char* folder) {
    std::set<std::string> names;
    for (const std::string& name : ListFolder(folder)) {
        if (name != "." && name != "..") names.insert(name);
    }
    return names;
}

LONGLONG SizeOnDisk(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A file of the given size whose last bytes are kTail; the rest is left a
// hole, so that even 200 MB are made at once.
bool WriteSizedFile(const char* path, LONGLONG size) {
    const afx::ScopedKernelHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = size;
    LARGE_INTEGER tail;
    tail.QuadPart = size - static_cast<LONGLONG>(sizeof kTail);
    DWORD written = 0;
    return file && SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) &&
           SetEndOfFile(file.Get()) && SetFilePointerEx(file.Get(), tail, nullptr, FILE_BEGIN) &&
           WriteFile(file.Get(), kTail, sizeof kTail, &written, nullptr) && written == sizeof kTail;
}

// The file's last bytes, as many as kTail has.
std::string TailOf(const char* path) {
    const afx::ScopedKernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER back;
    back.QuadPart = -static_cast<LONGLONG>(sizeof kTail);
    char buffer[sizeof kTail] = {};
    DWORD read = 0;
    if (!file || !SetFilePointerEx(file.Get(), back, nullptr, FILE_END) ||
        !ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) {
        return "<unreadable>";
    }
    return std::string(buffer, read);
}

// A package in "<temp>\pkg\Data" and APPDATA pointing at "<temp>\appdata".
class PackageFaultTest : public deploy_test::PackageFixture {
protected:
    // The first file the package listing yields, as the copy meets it.
    std::string FirstListedFile() const {
        for (const std::string& name : ListFolder(data)) {
            if (name != "." && name != "..") return name;
        }
        return std::string();
    }
    bool CopyInto(const CString& installFolder) {
        return CopyPackageFiles(setup, installFolder, progress, log);
    }
};

TEST_F(PackageFaultTest, DoubleByteNamesAreCopiedIntact) {
    // Every folder on the way ends in a character whose trail byte is 0x5C.
    const ScopedTempFolder gbk("-" + kJou);
    const CString gbkSetup = gbk / ("pkg" + kCheng).c_str();
    const CString gbkData = gbkSetup + "\\Data";
    const CString install = gbk / ("inst" + kJou).c_str();
    const CString host = gbk / ("host" + kCheng).c_str();
    const CString settings = gbk / ("appdata" + kJou).c_str();
    for (const CString& folder : {gbkSetup, gbkData, host, host + "\\Fonts", settings}) {
        ASSERT_TRUE(MakeFolder(folder)) << folder.GetString();
    }
    const std::set<std::string> names = {kJou + ".dll", "模块" + kCheng + ".grx", "a" + kJou,
                                         kCheng + kJou + kCheng, "GCAD2024P.dll"};
    for (const std::string& name : names) {
        ASSERT_TRUE(WriteTextFile(gbkData + "\\" + name.c_str(), "content of " + name));
    }
    ASSERT_TRUE(WriteTextFile(gbkData + "\\Torvex.Ini", "settings"));
    ASSERT_TRUE(WriteTextFile(gbkData + "\\Torvex_EN.shx", "font"));
    const ScopedEnvironmentVariable gbkAppData("APPDATA", settings);

    EXPECT_TRUE(CopyPackageFiles(gbkSetup, install, progress, log));
    EXPECT_TRUE(boxes.boxes.empty());
    std::set<std::string> installed = names;
    installed.insert({"UserSettings", "Data"});  // the settings copy's and the kept package's
    EXPECT_EQ(FilesIn(install), installed);
    for (const std::string& name : names) {
        EXPECT_EQ(ReadTextFile(install + "\\" + name.c_str()), "content of " + name);
    }
    // APPDATA holds two double-byte characters: its ANSI read under Wine
    // would end two bytes early, in a folder that does not exist.
    EXPECT_EQ(ReadTextFile(settings + "\\Torvex\\Torvex.Ini"), "settings");

    DeployToHostFolder(gbkSetup, host, CString(), log);
    EXPECT_EQ(ReadTextFile(host + "\\GCAD2024P.dll"), "content of GCAD2024P.dll");
    EXPECT_EQ(ReadTextFile(host + "\\Fonts\\Torvex_EN.shx"), "font");
}

TEST_F(PackageFaultTest, EmptyFileReplacesAnOldOne) {
    AddPackageFile("empty.dll", "");
    const CString install = temp / "inst";
    ASSERT_TRUE(MakeFolder(install));
    ASSERT_TRUE(WriteTextFile(install + "\\empty.dll", "an older module"));
    EXPECT_TRUE(CopyInto(install));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(SizeOnDisk(install + "\\empty.dll"), 0);
}

TEST_F(PackageFaultTest, HugeFileIsCopiedWhole) {
    const CString source = data + "\\huge.dll";
    ASSERT_TRUE(WriteSizedFile(source, kHugeFileSize));
    ASSERT_EQ(SizeOnDisk(source), kHugeFileSize);
    const CString install = temp / "inst";
    EXPECT_TRUE(CopyInto(install));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(SizeOnDisk(install + "\\huge.dll"), kHugeFileSize);
    EXPECT_EQ(TailOf(install + "\\huge.dll"), std::string(kTail, sizeof kTail));
}

TEST_F(PackageFaultTest, InstallationFolderTakenByAFileIsToldAndNeverPassesForDone) {
    AddPackageFile("a.dll", "a");
    AddPackageFile("b.dll", "b");
    const CString install = temp / "T-ZozerIded";
    ASSERT_TRUE(WriteTextFile(install, "a file in the folder's place"));
    // Retry cannot help: the box comes back until the user gives up.
    boxes.handler = [](int index, const ShownBox&) { return index == 0 ? IDRETRY : IDABORT; };
    EXPECT_FALSE(CopyInto(install));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    const CString destination = install + "\\" + FirstListedFile().c_str();
    for (const ShownBox& box : boxes.boxes) {
        EXPECT_EQ(box.text, deploy_test::CopyErrorText(destination, ERROR_PATH_NOT_FOUND));
    }
    EXPECT_EQ(GetPathKind(install), PathKind::File);
    EXPECT_EQ(ReadTextFile(install), "a file in the folder's place");
}

// The tmpfs volumes that small_volumes.sh mounts before these tests run. The
// test command runs as root, so a volume that is missing is a fault of the rig.
constexpr char kNotMounted[] = "small volume not mounted: small_volumes.sh needs root";

class SmallVolumeTest : public PackageFaultTest {
protected:
    static CString Volume(const char* name) { return CString(SMALL_VOLUMES) + "\\" + name; }
    static bool IsMounted(const char* name) {
        return GetPathKind(Volume(name) + "\\" + kVolumeMark) == PathKind::File;
    }
    // Unique per process: the volumes outlive the test.
    static CString Unique(const char* name) {
        CString unique;
        unique.Format("%s-%lu", name, GetCurrentProcessId());
        return unique;
    }
};

TEST_F(SmallVolumeTest, FullVolumeIsToldUntilThereIsRoomThenTheCopyIsWhole) {
    ASSERT_TRUE(IsMounted("full")) << kNotMounted;
    ASSERT_TRUE(WriteSizedFile(data + "\\module.dll", kModuleSize));
    const CString filler = Volume("full") + "\\" + Unique("filler");
    const CString install = Volume("full") + "\\" + Unique("inst");
    const CString destination = install + "\\module.dll";
    ASSERT_TRUE(WriteTextFile(filler, std::string(kFillerSize, 'f')));
    // The first Retry finds the volume still full; room is made before the
    // second. The kept package's copy then finds none: passed over.
    boxes.handler = [&filler](int index, const ShownBox&) {
        if (index == 1) DeleteFileA(filler);
        return index < 2 ? IDRETRY : IDIGNORE;
    };
    const bool copied = CopyInto(install);
    const LONGLONG size = SizeOnDisk(destination);
    const std::string tail = TailOf(destination);
    DeleteFileA(filler);
    DeleteFileA(destination);
    RemoveDirectoryA(install + "\\Data");
    RemoveDirectoryA(install);

    EXPECT_TRUE(copied);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    for (const ShownBox& box : boxes.boxes) {
        EXPECT_EQ(box.text,
                  deploy_test::CopyErrorText(
                      &box == &boxes.boxes.back() ? install + "\\Data\\module.dll" : destination,
                      ERROR_DISK_FULL));
    }
    EXPECT_EQ(size, kModuleSize);
    EXPECT_EQ(tail, std::string(kTail, sizeof kTail));
}

TEST_F(SmallVolumeTest, ReadOnlyVolumeIsToldAndAbortStops) {
    ASSERT_TRUE(IsMounted("readonly")) << kNotMounted;
    AddPackageFile("a.dll", "a");
    // An installation folder already there, and one the copy would have to make.
    for (const auto& [install, error] :
         {std::pair<CString, DWORD>{Volume("readonly") + "\\inst", ERROR_ACCESS_DENIED},
          {Volume("readonly") + "\\new", ERROR_PATH_NOT_FOUND}}) {
        SCOPED_TRACE(install.GetString());
        boxes.boxes.clear();
        boxes.handler = [](int index, const ShownBox&) { return index == 0 ? IDRETRY : IDABORT; };
        EXPECT_FALSE(CopyInto(install));
        ASSERT_EQ(boxes.boxes.size(), 2u);
        EXPECT_EQ(boxes.boxes[1].text, deploy_test::CopyErrorText(install + "\\a.dll", error));
        EXPECT_EQ(GetPathKind(install + "\\a.dll"), PathKind::Absent);
    }
}

}  // namespace
