#include "install/install_command.h"

#include <vector>

#include "deploy/package_contents.h"
#include "framework/afx_error.h"
#include "framework/afx_msgbox.h"
#include "hosts/running_host.h"
#include "install/install_checks.h"
#include "run/product.h"
#include "run/run_log.h"
#include "text/path_text.h"

bool g_bWarnHostRunning = true;

namespace {

constexpr char kCloseHostBeforeInstallText[] = "请关闭CAD后再进行安装 !";
// A relative or drive-relative folder, a device path, or a name with '?'
// (also what a character the code page cannot hold reads as) or '*'.
constexpr char kInvalidFolderFormat[] =
    "安装文件夹 %s 无效。\n\n"
    "请输入完整的路径：以盘符开头（例如 C:\\Torvex），或以 \\\\ 开头的网络共享文件夹，"
    "且不含 ? 和 * 。";
constexpr char kLinkedFolderFormat[] =
    "安装文件夹 %s 是一个链接（符号链接、目录联接或装入点）。\n\n"
    "为防止文件被写到链接指向的别处，安装程序不会通过链接写入。请选择其它文件夹。";

InstallCheck Refuse(HWND owner, const afx::UiText& text) {
    afx::ShowMessageBox(owner, text, kSetupBoxCaption, MB_OK);
    return InstallCheck::Refused;
}

}  // namespace

bool WarnOfRunningHostOnce(HWND owner) {
    if (!g_bWarnHostRunning || !IsHostRunning()) return false;
    afx::ShowMessageBox(owner, kCloseHostBeforeInstallText, kSetupBoxCaption, MB_OK);
    g_bWarnHostRunning = false;
    return true;
}

InstallCheck CheckInstallCommand(HWND owner, CString& folderText, const ReleaseSelection& releases,
                                 PackageSource source, InstallRequest* request, RunLog& log) {
    if (folderText.IsEmpty()) {
        // The framework's report of a command that failed on its argument.
        AfxReportError(E_INVALIDARG);
        return InstallCheck::Refused;
    }
    // The program runs elevated, in whatever folder it was started from: a
    // relative folder would land there, and the hosts could not find it.
    if (!IsAbsolutePath(folderText)) {
        return Refuse(owner, afx::FormatUiText(kInvalidFolderFormat, {folderText}));
    }
    *request = MakeInstallRequest(folderText, releases, source);
    folderText = request->installFolder;
    // Nothing is created before the package and the folders have passed.
    std::vector<CString> missing;
    switch (CheckPackage(*request, &missing)) {
        case PackageCheck::Complete:
            break;
        case PackageCheck::Missing:
            return InstallCheck::NoPackage;
        case PackageCheck::Incomplete:
            return Refuse(owner, IncompletePackageText(missing));
        case PackageCheck::KeptDamaged:
            log.Write(KeptPackageLogText(missing));
            return Refuse(owner, KeptPackageBoxText(missing));
    }
    const CString linked = LinkedFolderOf(request->chosenFolder, request->installFolder);
    if (!linked.IsEmpty()) return Refuse(owner, afx::FormatUiText(kLinkedFolderFormat, {linked}));
    // The user may go on, having been told; the safe answer is the default.
    const std::vector<UnsafeFolder> unsafe = FindUnsafeChosenFolders(
        request->chosenFolder, request->installFolder, &request->protectChosenFolderAnew);
    if (!unsafe.empty()) {
        log.Write(UnsafeFoldersLogText(unsafe));
        const bool goOn = afx::ShowMessageBox(
                              owner, UnsafeFoldersBoxText(unsafe, request->installFolder),
                              kSetupBoxCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
        log.Write(goOn ? "the user installs there all the same" : "the user chooses again");
        if (!goOn) return InstallCheck::Refused;
    }
    return InstallCheck::Passed;
}
