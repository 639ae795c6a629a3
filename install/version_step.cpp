#include "install/version_step.h"

#include "framework/afx_msgbox.h"
#include "record/record_store.h"
#include "run/product.h"
#include "run/product_version.h"
#include "run/run_log.h"

namespace {

constexpr char kDowngradeFormat[] =
    "本机已安装 T-批打印软件 %s，比本安装程序的版本 %s 新。\n\n"
    "为防止意外退回旧版本，安装程序没有作任何更改。如确需退回，请由管理员运行：\n\n"
    "SetUp.exe /ALLOWDOWNGRADE";

// What each step is, for the log; indexed like VersionStep.
constexpr const char* kVersionSteps[] = {"a first installation", "an upgrade", "a repair",
                                         "a downgrade: refused", "a rollback (/ALLOWDOWNGRADE)"};

}  // namespace

bool AcceptVersionStep(const EarlierRecords& earlier, HWND owner, bool allowDowngrade,
                       RunLog& log) {
    const int installed = earlier.InstalledVersion();
    const VersionStep step = StepOver(installed, kSetupVersion, allowDowngrade);
    const CString mine = FormatSetupVersion(kSetupVersion);
    const CString theirs = installed ? FormatSetupVersion(installed) : CString("none");
    log.Write(afx::FormatUiText("installed version %s, this one %s: ", {theirs, mine}) +
              kVersionSteps[static_cast<int>(step)]);
    if (step != VersionStep::Downgrade) return true;
    afx::ShowMessageBox(owner, afx::FormatUiText(kDowngradeFormat, {theirs, mine}),
                        kSetupBoxCaption, MB_OK | MB_ICONWARNING);
    return false;
}
