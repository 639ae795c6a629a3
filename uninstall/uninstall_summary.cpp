#include "uninstall/uninstall_summary.h"

#include "run/run_contract.h"

namespace {

// One part of the final box: its heading, then an item a line.
void AppendPart(afx::UiText& text, const char* heading, const std::vector<CString>& items) {
    if (items.empty()) return;
    text += heading;
    for (const CString& item : items) text += "\n" + afx::UiText::System(item);
}

}  // namespace

afx::UiText UninstallSummaryText(const UninstallOutcome& outcome) {
    afx::UiText text =
        afx::FormatUiText("T-批打印软件已卸载。\n\n已删除 %d 个文件、%d 个注册表项和 %d 个文件夹。",
                          {outcome.removedFiles, outcome.removedKeys, outcome.removedFolders});
    if (outcome.restoredFiles > 0) {
        text += afx::FormatUiText("\n已恢复 %d 个安装前CAD目录中的文件。", {outcome.restoredFiles});
    }
    if (!outcome.left.empty()) {
        text += "\n\n以下项目已保留：";
        for (const afx::UiText& item : outcome.left) text += "\n" + item;
    }
    AppendPart(text, "\n\n以下CAD目录在本机已找不到，安装时放入其中的文件未删除：",
               outcome.hostsNotFound);
    AppendPart(text, "\n\n以下文件正在使用，将在下次重新启动计算机时删除：", outcome.scheduled);
    AppendPart(text, "\n\n以下用户的设置未能清除：", outcome.profilesNotCleared);
    if (outcome.usersItemsLeft > 0) {
        text += afx::FormatUiText("\n\n用户记录中另有 %d 个不属于本插件的项目未删除。",
                                  {outcome.usersItemsLeft});
    }
    text += "\n\n您的设置文件 Torvex.Ini 已保留。";
    return text;
}

int UninstallExitCode(const UninstallOutcome& outcome) {
    if (outcome.notRemoved > 0 || !outcome.profilesNotCleared.empty()) return exit_code::kFailed;
    return outcome.NeedsRestart() ? exit_code::kRestartRequired : exit_code::kSuccess;
}
