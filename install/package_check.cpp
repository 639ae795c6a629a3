#include "install/package_check.h"

#include "deploy/kept_package.h"
#include "deploy/package_contents.h"
#include "deploy/package_source.h"
#include "install/install_request.h"

namespace {

constexpr char kKeptPackageFormat[] =
    "安装文件夹中保存的安装包缺少文件或文件已被更改，无法修复或更改安装：\n\n%s\n"
    "没有作任何更改。请运行安装包中的SetUp.exe重新安装。";

}  // namespace

PackageCheck CheckPackage(const InstallRequest& request, const EarlierRecords& earlier,
                          std::vector<CString>* missing) {
    if (request.source == PackageSource::KeptByInstallation) {
        *missing = KeptPackageFaults(earlier, request.installFolder);
        if (!missing->empty()) return PackageCheck::KeptDamaged;
    }
    CString sourceFolder;
    if (!ResolvePackageSource(request.setupFolder, sourceFolder)) return PackageCheck::Missing;
    *missing = MissingPackageFiles(sourceFolder, RequiredPackageFiles(request.releases));
    return missing->empty() ? PackageCheck::Complete : PackageCheck::Incomplete;
}

afx::UiText KeptPackageLogText(const std::vector<CString>& faults) {
    afx::UiText text(
        "the package the installation keeps is not what it recorded, nothing was "
        "changed; missing, changed or unknown:");
    for (const CString& fault : faults) text += afx::UiText(" ") + afx::UiText::System(fault);
    return text;
}

afx::UiText KeptPackageBoxText(const std::vector<CString>& faults) {
    afx::UiText list;
    for (const CString& fault : faults) list += afx::UiText::System(fault) + "\n";
    return afx::FormatUiText(kKeptPackageFormat, {list});
}
