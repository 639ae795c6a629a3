#include "install/check_presenters.h"

#include "deploy/package_contents.h"
#include "framework/afx_error.h"
#include "framework/afx_msgbox.h"
#include "install/folder_checks.h"
#include "install/package_check.h"
#include "run/product.h"
#include "run/run_log.h"

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
// Only a repair can find no release: the dialog's install button needs one ticked.
constexpr char kNoReleaseText[] = "本机上找不到安装了T-批打印软件的CAD版本，没有可修复的内容。";

}  // namespace

void BoxedChecks::Refuse(const Refused& refused) {
    afx::UiText text;
    UINT type = MB_OK;
    switch (refused.refusal) {
        case Refusal::HostRunning:
            text = afx::UiText(kCloseHostBeforeInstallText);
            m_warnedOfHost = true;
            break;
        case Refusal::InvalidFolder:
            if (refused.folder.IsEmpty()) {
                // The framework's report of a command that failed on its argument.
                AfxReportError(E_INVALIDARG);
                return;
            }
            text = afx::FormatUiText(kInvalidFolderFormat, {refused.folder});
            break;
        case Refusal::NoRelease:
            m_log.Write(RefusalLogText(refused));
            text = afx::UiText(kNoReleaseText);
            type |= MB_ICONERROR;
            break;
        case Refusal::IncompletePackage:
            text = IncompletePackageText(refused.files);
            break;
        case Refusal::KeptPackageDamaged:
            m_log.Write(RefusalLogText(refused));
            text = KeptPackageBoxText(refused.files);
            break;
        case Refusal::LinkedFolder:
            text = afx::FormatUiText(kLinkedFolderFormat, {refused.folder});
            break;
        case Refusal::NoPackage:  // the package search has told the user
        case Refusal::UnsafeFolders:
        case Refusal::Declined:
        case Refusal::None:
            return;
    }
    afx::ShowMessageBox(m_owner, text, kSetupBoxCaption, type);
}

bool BoxedChecks::InstallThereAllTheSame(const std::vector<UnsafeFolder>& unsafe,
                                         const CString& installFolder) {
    m_log.Write(UnsafeFoldersLogText(unsafe));
    const bool goOn =
        afx::ShowMessageBox(m_owner, UnsafeFoldersBoxText(unsafe, installFolder), kSetupBoxCaption,
                            MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
    m_log.Write(goOn ? "the user installs there all the same" : "the user chooses again");
    return goOn;
}

void LoggedChecks::FolderChosen(const InstallRequest& request) {
    m_log.Write(afx::UiText("installation folder: ") + afx::UiText::System(request.installFolder));
}

void LoggedChecks::Refuse(const Refused& refused) {
    m_log.Write(RefusalLogText(refused));
}
