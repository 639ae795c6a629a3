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

CString JoinPath(const CString& folder, const char* name) {
    CString path;
    path.Format("%s\\%s", folder.GetString(), name);
    return path;
}

CString SetupFolderOf(const char* modulePath) {
    const char* last = afx::MbsRChr(modulePath, '\\');
    if (!last) return CString();
    return CString(modulePath, static_cast<int>(last - modulePath));
}

CString NumberedName(const CString& stem, int attempt, const char* extension) {
    CString name;
    if (attempt <= 1) {
        name.Format("%s%s", stem.GetString(), extension);
    } else {
        name.Format("%s-%d%s", stem.GetString(), attempt, extension);
    }
    return name;
}

CString SettingsBackupStem(const CString& settingsPath, const LocalTimestamp& time) {
    CString stem;
    stem.Format("%s.%04d%02d%02d-%02d%02d%02d", settingsPath.GetString(), time.year, time.month,
                time.day, time.hour, time.minute, time.second);
    return stem;
}
