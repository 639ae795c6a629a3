#include "deploy/package_layout.h"

#include "framework/afx_mbcs.h"

namespace {

constexpr char kSetupProgram[] = "SetUp.EXE";
// Shipped with the package but not used by this installation.
constexpr char kUnusedPrintFile[] = "Torvex.prt5";
constexpr char kHostModuleFormat[] = "GCAD%dP.dll";

bool NameIs(const char* name, const char* packageName) {
    return afx::MbsICmp(name, packageName) == 0;
}

}  // namespace

PackageEntryKind ClassifyPackageEntry(const char* name) {
    if (NameIs(name, kSetupProgram) || NameIs(name, kUnusedPrintFile)) {
        return PackageEntryKind::Skip;
    }
    if (NameIs(name, kShapeFontEn) || NameIs(name, kShapeFontHz)) return PackageEntryKind::Font;
    if (NameIs(name, kSettingsFile)) return PackageEntryKind::Settings;
    return PackageEntryKind::Ordinary;
}

CString HostModuleName(int year) {
    CString name;
    name.Format(kHostModuleFormat, year);
    return name;
}
