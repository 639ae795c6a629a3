#include "run/steps_not_done.h"

namespace {

constexpr char kHeading[] = "安装已结束，但以下项目没有完成：\n";
constexpr char kMoreFormat[] = "\n……另有 %d 项";
constexpr char kConsequence[] = "\n\n插件可能无法在相关的CAD中加载，请排除原因后重新安装。";

const char* PrefixOf(StepsNotDone::Kind kind) {
    switch (kind) {
        case StepsNotDone::Kind::FileSkipped:
            return "未拷贝文件：";
        case StepsNotDone::Kind::HostFileNotCopied:
            return "未拷贝到CAD目录：";
        case StepsNotDone::Kind::RegistryNotWritten:
            return "未写入注册表：HKEY_CURRENT_USER\\";
        case StepsNotDone::Kind::SettingsNotWritten:
            return "未写入设置文件：";
        case StepsNotDone::Kind::UserStageNotSetUp:
            return "未能为本机其他用户设置：";
        case StepsNotDone::Kind::NotRemoved:
            return "未能删除旧版本的文件：";
        case StepsNotDone::Kind::UninstallNotSetUp:
            break;
    }
    return "未能建立卸载信息：";
}

}  // namespace

void StepsNotDone::Add(Kind kind, const CString& what) {
    m_items.push_back({kind, what});
}

afx::UiText StepsNotDone::WarningText() const {
    afx::UiText text(kHeading);
    const int listed = GetCount() < kMaxListedItems ? GetCount() : kMaxListedItems;
    for (int i = 0; i < listed; ++i) {
        text += "\n";
        text += PrefixOf(m_items[i].kind);
        text += afx::UiText::System(m_items[i].what);
    }
    if (listed < GetCount()) text += afx::FormatUiText(kMoreFormat, {GetCount() - listed});
    text += kConsequence;
    return text;
}
