// The uninstaller's sweep of the machine's user profiles, in-process on a
// scratch registry (HKEY_USERS too): a hive loaded now, a hive loaded from
// its file for the while, and one that cannot be loaded.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "entries/active_setup.h"
#include "entries/plugin_key.h"
#include "hosts/system_folders.h"
#include "record/install_record.h"
#include "run/run_contract.h"
#include "run/run_log.h"
#include "system/privileges.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall_summary.h"
#include "uninstall/user_profiles.h"

namespace {

const std::string kProfileList = std::string(kProfileListKey) + "\\";
const std::string kHostKey = "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\zh-CN";
const std::string kApplications = kHostKey + "\\Applications";
const std::string kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kBob[] = "S-1-5-21-1-2-3-1001";
constexpr char kEve[] = "S-1-5-21-1-2-3-1002";
constexpr char kNew[] = "S-1-5-21-1-2-3-1003";

bool SetText(HKEY root, const std::string& key, const char* name, const std::string& text) {
    return SetValue(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

class UserProfilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(roots.IsReady());
        ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE, kHostKey, "Location", (temp / "host").str()));
        ASSERT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, kActiveSetupKey));
    }
    void AddProfile(const char* sid, const CString& folder) {
        ASSERT_TRUE(
            SetText(HKEY_LOCAL_MACHINE, kProfileList + sid, kProfileFolderValue, folder.str()));
    }
    // What a user's hive holds of its own: its first key as Windows makes it
    // (Wine loads a hive file only when that key's name is none of the keys'
    // above the one it loads it into, and the scratch tree lies below
    // "Software"), the host's profile with another add-on, another
    // program's RunOnce value and Active Setup stamp.
    static void FillUsersOwn(HKEY hive) {
        ASSERT_TRUE(SetText(hive, "AppEvents\\Schemes", "", ".Default"));
        ASSERT_TRUE(SetText(hive, kApplications + "\\OtherAddOn", "LOADER", "C:\\Other\\a.dll"));
        ASSERT_TRUE(SetText(hive, kHostKey + "\\Profile", "Name", "mine"));
        ASSERT_TRUE(SetText(hive, kRunOnce, "Other", "other.exe"));
        ASSERT_TRUE(SetText(hive, "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\{0}",
                            "Version", "1,0"));
    }
    // What the per-user stage leaves: its two entries and their record, which
    // also names keys the stage did not create; its RunOnce value and stamp.
    void FillStages(HKEY hive) {
        const std::string main = kApplications + "\\TX_ZozerIded2025";
        const std::string companion = kApplications + "\\Torvex2025DLLP";
        ASSERT_TRUE(SetText(hive, main, "LOADER", "main"));
        ASSERT_TRUE(SetText(hive, companion, "LOADER", "companion"));
        InstallRecord record;
        record.installFolder = install;
        record.releases = {{2025, temp / "host", (kHostKey + "\\").c_str()}};
        record.keys = {{main.c_str(), InstallRecord::Origin::New},
                       {companion.c_str(), InstallRecord::Origin::New},
                       {(kApplications + "\\OtherAddOn").c_str(), InstallRecord::Origin::Replaced},
                       {(kHostKey + "\\Profile").c_str(), InstallRecord::Origin::New}};
        const CString text = FormatInstallRecord(record);
        ASSERT_TRUE(SetValue(hive, kPluginKey, kUserRecordValue, REG_BINARY, text.GetString(),
                             text.GetLength()));
        ASSERT_TRUE(SetText(hive, kRunOnce, "Torvex T-ZozerIded", "\"stage\" /RUNONCE"));
        ASSERT_TRUE(SetText(hive, kActiveSetupKey, "Version", "2025,10,30"));
    }

    ScratchRegistryRoots roots;
    ScopedTempFolder temp;
    const CString install = temp / "T-ZozerIded";
    UninstallOutcome outcome;
    RunLog log;
};

TEST_F(UserProfilesTest, ALoggedOnUserLosesTheStagesEntriesAndNothingElse) {
    const afx::ScopedRegKey hive = CreateKey(HKEY_USERS, kBob);
    FillUsersOwn(hive.Get());
    const std::string own = driver::DumpKey(HKEY_USERS, kBob);
    FillStages(hive.Get());
    AddProfile(kBob, temp / "bob");

    RemoveFromUserProfiles(install, outcome, log);
    EXPECT_EQ(driver::DumpKey(HKEY_USERS, kBob), own);
    EXPECT_EQ(outcome.removedKeys, 2);
    EXPECT_TRUE(outcome.profilesNotCleared.empty());
    EXPECT_EQ(UninstallExitCode(outcome), exit_code::kSuccess);
    EXPECT_FALSE(driver::KeyExists(HKEY_LOCAL_MACHINE, kActiveSetupKey));
    // The user wrote that record: the administrator's box quotes none of it.
    const std::string box = UninstallSummaryText(outcome).Narrow().str();
    EXPECT_EQ(box.find("Profile"), std::string::npos) << box;
    EXPECT_NE(box.find("另有 1 个"), std::string::npos) << box;
}

// The work done in the hive while it was loaded, and the hive unloaded
// again. Wine 8 would not write the change back to its file: that the file
// keeps it only Windows can show.
TEST_F(UserProfilesTest, AHiveIsLoadedFromItsFileForTheWhileAndOneThatCannotBeIsNamed) {
    const CString bob = temp / "bob";
    const CString eve = temp / "eve";
    ASSERT_TRUE(driver::CreateFolders(bob.str()) && driver::CreateFolders(eve.str()));
    {
        const afx::ScopedRegKey hive = CreateKey(HKEY_CURRENT_USER, "hive");
        FillUsersOwn(hive.Get());
        FillStages(hive.Get());
        const ScopedPrivileges backup({SE_BACKUP_NAME});
        ASSERT_EQ(RegSaveKeyA(hive.Get(), bob + "\\NTUSER.DAT", nullptr), ERROR_SUCCESS);
    }
    ASSERT_TRUE(driver::WriteTextFile((eve + "\\NTUSER.DAT").str(), "not a hive"));
    AddProfile(kEve, eve);
    // Never logged on: a profile folder without a hive has nothing to clear.
    ASSERT_TRUE(driver::CreateFolders((temp / "new").str()));
    AddProfile(kNew, temp / "new");

    RemoveFromUserProfiles(install, outcome, log);
    EXPECT_EQ(outcome.profilesNotCleared, std::vector<CString>{eve});
    // A step not done: the uninstall says so as the installation does.
    EXPECT_EQ(UninstallExitCode(outcome), exit_code::kFailed);

    // Eve's profile gone; what Wine leaves of her failed load stays listed.
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kProfileList + kEve).c_str()), ERROR_SUCCESS);
    AddProfile(kBob, bob);
    const std::vector<std::string> loaded = driver::SubKeyNames(HKEY_USERS, "");
    UninstallOutcome second;
    RemoveFromUserProfiles(install, second, log);
    EXPECT_EQ(second.removedKeys, 2);
    EXPECT_EQ(driver::SubKeyNames(HKEY_USERS, ""), loaded) << "a hive stayed loaded";
}

}  // namespace
