#include "deploy/package_contents.h"

#include <algorithm>

#include "deploy/package_layout.h"
#include "deploy/registration_table.h"
#include "framework/afx_mbcs.h"

namespace {

// The package spells the main modules in lower case, as the marker file.
constexpr char kMainModuleFormat[] = "TX_ZozerIded%d.grx";
constexpr char kIncompleteFormat[] =
    "安装包不完整，缺少以下文件：\n\n%s\n\n请重新下载完整的安装包，解压后再执行SetUp.exe !";

void AddOnce(std::vector<CString>& names, const CString& name) {
    const bool known = std::any_of(names.begin(), names.end(),
                                   [&](const CString& n) { return afx::MbsICmp(n, name) == 0; });
    if (!known) names.push_back(name);
}

}  // namespace

std::vector<CString> RequiredPackageFiles(const ReleaseSelection& releases) {
    std::vector<CString> names;
    for (const HostRelease release : releases.Releases()) {
        ModuleNumbers numbers;
        if (!GetModuleNumbers(HostReleaseYear(release), &numbers)) continue;
        CString main;
        main.Format(kMainModuleFormat, numbers.main);
        AddOnce(names, main);
        AddOnce(names, HostModuleName(numbers.companion));
    }
    if (names.empty()) return names;
    for (const char* shared : {kPdfLibrary, kShapeFontEn, kShapeFontHz}) AddOnce(names, shared);
    return names;
}

afx::UiText IncompletePackageText(const std::vector<CString>& missing) {
    CString list;
    for (const CString& name : missing) {
        if (!list.IsEmpty()) list += "\n";
        list += name;
    }
    return afx::FormatUiText(kIncompleteFormat, {list});
}
