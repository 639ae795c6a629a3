#include "tests/e2e/e2e_fixture.h"

namespace e2e {

namespace {

constexpr const char* kDefaultInstallRoot = "C:\\Torvex";

}  // namespace

SetupTest::SetupTest() {
    // Leftovers of an earlier failed run must not decide this one.
    m_machine.Clean();
    driver::RemoveTree(kDefaultInstallRoot);
}

SetupTest::~SetupTest() {
    m_setup.Kill();
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
    EXPECT_TRUE(m_setup.Start(PackageFolder() + "\\SetUp.exe", environment));
    m_dialog = driver::WaitForDialog(m_setup.Id(), kDialogCaption);
    EXPECT_NE(m_dialog, nullptr) << "the setup dialog did not appear";
    return m_dialog;
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
