// The checks before an installation as a repair and an unattended
// installation meet them, in-process against an installation in a temporary
// folder: what each refuses, with which exit code, and that nothing is
// written then.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "entries/plugin_key.h"
#include "install/install_checks.h"
#include "record/install_record.h"
#include "run/run_contract.h"
#include "setup/maintenance.h"
#include "setup/unattended.h"
#include "system/folder_access_win32.h"
#include "tests/install/installation_fixture.h"
#include "tests/support/running_dummy.h"
#include "tests/support/unix_link.h"

namespace {

class RunRefusalTest : public InstallationTest {
protected:
    // Uninstall.exe's second process for the folder, as a repair.
    int Repair(RunMode mode, const CString& installFolder) {
        CommandLine commandLine;
        commandLine.mode = mode;
        commandLine.task = UninstallerTask::Repair;
        commandLine.secondPhaseFolder = installFolder;
        machine.earlier = EarlierRecords::Read();
        return RunRepairOrModify(commandLine, machine, log);
    }
    // What a repair of the installation in A would put back.
    void RemoveInstalledFiles() { ASSERT_TRUE(DeleteFileA(plugIn) && DeleteFileA(module)); }
    bool InstalledFilesBack() {
        return driver::FileExists(plugIn.str()) || driver::FileExists(module.str());
    }

    const CString plugIn = temp / "A\\T-ZozerIded\\TX_ZozerIded2023.grx";
    const CString module = temp / "host\\GCAD2024P.dll";
};

TEST_F(RunRefusalTest, ARepairOfAFolderProgramsAndFeaturesDoesNotNameIsRefused) {
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    // B holds a record, and the machine's copy describes it (as after an
    // installation there whose entry was lost); the entry still names A.
    InstallRecord record = RecordOf("A");
    record.installFolder = temp / "B\\T-ZozerIded";
    ASSERT_TRUE(driver::CreateFolders(record.installFolder.str()));
    ASSERT_TRUE(driver::WriteTextFile((record.installFolder + "\\InstallRecord.txt").str(),
                                      FormatInstallRecord(record).str()));
    ASSERT_TRUE(
        WritePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, FormatInstallRecord(record)));
    RemoveInstalledFiles();
    EXPECT_EQ(Repair(RunMode::VerySilent, record.installFolder), exit_code::kFailed);
    EXPECT_FALSE(InstalledFilesBack()) << "written";
}

TEST_F(RunRefusalTest, ARepairAtTheScreenWhileAHostRunsSaysSoAndIsTriedLater) {
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    RemoveInstalledFiles();
    const RunningDummy cad(driver::WindowsPathOf(DUMMY_HOST_PATH), (temp / "host").str(),
                           "gcad.exe");
    ASSERT_TRUE(cad.IsReady()) << cad.Failure();
    EXPECT_EQ(Repair(RunMode::Interactive, temp / "A\\T-ZozerIded"), exit_code::kBusy);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"请关闭CAD后再进行安装 !"});
    EXPECT_FALSE(InstalledFilesBack()) << "written";
}

TEST_F(RunRefusalTest, ARepairAtTheScreenAsksAboutAFolderOthersMayChangeAndNoEndsIt) {
    // A folder of the user's, not the installation's: judged, not protected anew.
    ASSERT_TRUE(driver::CreateFolders((temp / "A").str()));
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    RemoveInstalledFiles();
    ASSERT_TRUE(StartUnixChmod((temp / "A").str(), "0777"));
    ASSERT_TRUE(driver::WaitUntil([&] { return !FindUnsafeFolders(temp / "A").empty(); }));
    boxes.handler = [](int, const ShownBox&) { return IDNO; };
    EXPECT_EQ(Repair(RunMode::Interactive, temp / "A\\T-ZozerIded"), exit_code::kUserCancelled);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_FALSE(InstalledFilesBack()) << "written";
}

TEST_F(RunRefusalTest, AnUnattendedInstallationIntoALinkedFolderIsABadCommandLine) {
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    // The installation, whole, reached through a link in the chosen folder's place.
    ASSERT_TRUE(MoveFileA(temp / "A", temp / "elsewhere"));
    ASSERT_TRUE(MakeUnixLink(temp.Path().str(), "elsewhere", "A"));
    RemoveInstalledFiles();
    machine.earlier = EarlierRecords::Read();
    EXPECT_EQ(
        InstallUnattended({temp / "A", {HostRelease::R2025}, PackageSource::KeptByInstallation},
                          RunMode::VerySilent, machine, log),
        exit_code::kBadCommandLine);
    EXPECT_FALSE(InstalledFilesBack()) << "written";
    EXPECT_TRUE(RemoveUnixLink(temp.Path().str(), "A"));
}

}  // namespace
