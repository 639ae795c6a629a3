#include "uninstall/uninstaller.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "framework/afx_app_name.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_msgbox.h"
#include "framework/scoped_handles.h"
#include "hosts/running_host.h"
#include "lifecycle/product.h"
#include "lifecycle/record_store.h"
#include "lifecycle/uninstall_entry.h"
#include "text/path_text.h"
#include "uninstall/removal.h"

namespace {

constexpr char kConfirmText[] =
    "确定要卸载 T-批打印软件 吗？\n\n将删除安装时添加的文件和注册表项，您的设置文件会保留。";
constexpr char kNoRecordFormat[] =
    "在 %s 中找不到完整的安装记录，无法卸载。\n\n可能T-批打印软件已经卸载。";
constexpr char kCloseHostText[] = "请关闭CAD后再进行卸载 !";
constexpr char kTempFolderPrefix[] = "Torvex-uninstall-";
constexpr char kTempFolderFormat[] = "%s%s%lu-%d";

int Box(const afx::UiText& text, UINT type) {
    return afx::ShowMessageBox(nullptr, text, kSetupBoxCaption, type);
}

// The argument after the program's own name, without quotes.
CString CommandLineArgument() {
    const char* p = GetCommandLineA();
    if (*p == '"') {
        p = std::strchr(p + 1, '"');
        p = p ? p + 1 : "";
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    std::string argument(p);
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"') {
        argument = argument.substr(1, argument.size() - 2);
    }
    return CString(argument);
}

// Copies the uninstaller to a new temporary folder and starts it there.
void RelaunchFromTemporaryFolder(const CString& self, const CString& installFolder) {
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) return;
    CString folder;
    for (int attempt = 0;; ++attempt) {
        folder.Format(kTempFolderFormat, temp, kTempFolderPrefix, GetCurrentProcessId(), attempt);
        if (CreateDirectoryA(folder, nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
    const CString copy = JoinPath(folder, kUninstallerName);
    if (!CopyFileA(self, copy, TRUE)) return;
    CString commandLine;
    commandLine.Format("\"%s\" \"%s\"", copy.GetString(), installFolder.GetString());
    std::string writable = commandLine.str();
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(copy, &writable[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void Uninstall(const CString& installFolder) {
    InstallRecord record;
    if (!IsAbsolutePath(installFolder) || !ReadInstallRecord(installFolder, &record)) {
        Box(afx::FormatUiText(kNoRecordFormat, {installFolder}), MB_OK);
        return;
    }
    if (Box(kConfirmText, MB_YESNO | MB_DEFBUTTON2) != IDYES) return;
    if (IsHostRunning()) {
        Box(kCloseHostText, MB_OK);
        return;
    }
    Box(UninstallSummaryText(RemoveInstallation(record)), MB_OK);
}

// A copy this uninstaller made of itself goes with its folder at the next
// restart; a copy of that name anywhere else is somebody's own file.
void ScheduleOwnDeletion(const CString& self) {
    const CString folder = ParentFolder(self);
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) return;
    const CString madeFolderStart = CString(temp) + kTempFolderPrefix;
    if (afx::MbsICmp(folder.Left(madeFolderStart.GetLength()), madeFolderStart) != 0) return;
    MoveFileExA(self, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace

bool RunAsUninstallerWhenNamedSo() {
    const CString self = afx::GetModulePath();
    if (afx::MbsICmp(afx::GetAppName(), kUninstallerAppName) != 0) return false;
    const CString ownFolder = ParentFolder(self);
    InstallRecord record;
    if (ReadInstallRecord(ownFolder, &record)) {
        RelaunchFromTemporaryFolder(self, ownFolder);
        return true;
    }
    CString installFolder = CommandLineArgument();
    if (installFolder.IsEmpty()) installFolder = ReadInstalledFolder();
    Uninstall(installFolder);
    ScheduleOwnDeletion(self);
    return true;
}
