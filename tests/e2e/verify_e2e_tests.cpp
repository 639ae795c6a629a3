// Uninstall.exe /VERIFY as a deployment tool's detection runs it: never a
// window, an exit code that says whether the installation is whole, a log
// that names what is not, and nothing changed on the machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"
#include "tests/support/scratch_registry.h"

namespace e2e {
namespace {

const std::string kInstallFolder = "C:\\Torvex\\T-ZozerIded";
const std::string kUninstaller = kInstallFolder + "\\Uninstall.exe";
constexpr const char* kPluginKey = "SOFTWARE\\Torvex\\T-ZozerIded";

class VerifyTest : public SetupTest {
protected:
    // A program run to its end with `arguments` and a log of its own.
    Outcome Run(const std::string& program, const std::string& arguments) {
        DeleteFileA(VerifyLog().c_str());
        return RunCommand("\"" + program + "\" " + arguments + " /LOG=\"" + VerifyLog() + "\"",
                          {{"APPDATA", AppDataFolder()}});
    }
    std::string VerifyLog() const { return Scratch() + "\\verify.log"; }
    std::string Log() const { return driver::ReadTextFile(VerifyLog()); }
};

TEST_F(VerifyTest, SaysWhatIsMissingChangesNothingAndIsWholeAgainAfterARepair) {
    const std::string host = AddHost(2025);
    ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), PackageFolder()));
    ASSERT_TRUE(driver::CreateFolders(AppDataFolder()));
    ASSERT_EQ(Run(PackageFolder() + "\\SetUp.exe", "/VERYSILENT").code, 0u) << Log();
    // No window, whatever the switches.
    Outcome verify = Run(kUninstaller, "/VERIFY");
    EXPECT_EQ(verify.code, 0u) << Log();
    EXPECT_FALSE(verify.windowShown);

    // A host module, a font, a plug-in file and an "Applications" entry
    // removed, a plug-in file changed.
    const std::string entry =
        std::string(kProduct) + "\\R25\\zh-CN\\Applications\\TX_ZozerIded2025";
    const std::vector<std::string> removed = {host + "\\GCAD2024P.dll",
                                              host + "\\Fonts\\Torvex_HZ.shx",
                                              kInstallFolder + "\\TX_ZozerIded2023.grx"};
    for (const std::string& file : removed) ASSERT_TRUE(DeleteFileA(file.c_str())) << file;
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, entry.c_str()), 0);
    ASSERT_TRUE(driver::WriteTextFile(kInstallFolder + "\\itextsharp.dll", "changed"));
    const Snapshot damaged = TakeSnapshot(true);
    verify = Run(kUninstaller, "/VERIFY /SILENT");
    EXPECT_EQ(verify.code, 1u) << Log();
    EXPECT_FALSE(verify.windowShown);
    for (const std::string& item :
         {removed[0], removed[1], removed[2], "HKEY_CURRENT_USER\\" + entry}) {
        EXPECT_NE(Log().find("verify: missing (damage): " + item), std::string::npos)
            << item << "\n"
            << Log();
    }
    EXPECT_NE(Log().find("verify: changed (damage): " + kInstallFolder + "\\itextsharp.dll"),
              std::string::npos);
    EXPECT_EQ(TakeSnapshot(true), damaged);

    ASSERT_EQ(Run(kUninstaller, "/REPAIR /VERYSILENT").code, 0u) << Log();
    EXPECT_EQ(Run(kUninstaller, "/VERIFY").code, 0u) << Log();
    // A CAD that updated a module, and one held open without sharing: no damage.
    ASSERT_TRUE(driver::WriteTextFile(host + "\\GCAD2023P.dll", "the CAD's own"));
    const HANDLE held =
        CreateFileA(removed[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Run(kUninstaller, "/VERIFY").code, 0u) << Log();
    CloseHandle(held);
    for (const std::string& said :
         {"changed since, the CAD's own (not damage): " + host + "\\GCAD2023P.dll",
          "in use, not read (not damage): " + removed[0]}) {
        EXPECT_NE(Log().find(said), std::string::npos) << said << "\n" << Log();
    }
    // An installation killed half way is not whole, and is left to the next
    // setup or uninstall to finish.
    ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kPluginKey, "InstallationUnderWay", REG_BINARY,
                         kInstallFolder.c_str(), static_cast<DWORD>(kInstallFolder.size())));
    const Snapshot marked = TakeSnapshot(true);
    EXPECT_EQ(Run(kUninstaller, "/VERIFY").code, 1u) << Log();
    EXPECT_EQ(TakeSnapshot(true), marked);
    ASSERT_EQ(RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kPluginKey, "InstallationUnderWay"), 0);

    ASSERT_EQ(Run(kUninstaller, "/VERYSILENT").code, 0u) << Log();
    // Nothing installed: an uninstaller has nothing to verify.
    const std::string other = Scratch() + "\\Uninstall.exe";
    ASSERT_TRUE(CopyFileA(driver::WindowsPathOf(SETUP_EXE_PATH).c_str(), other.c_str(), FALSE));
    EXPECT_EQ(Run(other, "/VERIFY").code, 1603u) << Log();
}

}  // namespace
}  // namespace e2e
