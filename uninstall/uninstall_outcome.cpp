#include "uninstall/uninstall_outcome.h"

#include "run/run_log.h"

namespace {

// Why an item stays, as the final box and the log say it.
struct Reason {
    const char* boxFormat;
    const char* logText;
};
// Indexed like WhyLeft.
constexpr Reason kReasons[] = {
    {"%s（安装后已被更改，视为CAD或用户自己的文件，未删除）",
     "changed since the installation (size or SHA-256), the host's own now, left: "},
    {"%s（安装记录中没有它的校验值，无法确认属于本插件，未删除）",
     "the record holds no SHA-256 for it, never taken for the plug-in's own, left: "},
    // Its caller has logged the failure with the system's error code.
    {"%s（无法删除）", nullptr},
    {"%s（不属于本插件，未删除）", "outside the installation's places, left: "},
    {"%s（安装后已被修改，未恢复安装前的文件）", "changed since, the host's own not put back: "},
};

}  // namespace

void NoteLeftItem(UninstallOutcome& outcome, WhyLeft why, const CString& what, RunLog& log) {
    const Reason& reason = kReasons[static_cast<int>(why)];
    outcome.left.push_back(afx::FormatUiText(reason.boxFormat, {what}));
    if (reason.logText) log.Write(afx::UiText(reason.logText) + afx::UiText::System(what));
    if (why == WhyLeft::NotRemoved) ++outcome.notRemoved;
}

void NoteNotRemoved(UninstallOutcome& outcome, const CString& what) {
    outcome.left.push_back(
        afx::FormatUiText(kReasons[static_cast<int>(WhyLeft::NotRemoved)].boxFormat, {what}));
    ++outcome.notRemoved;
}
