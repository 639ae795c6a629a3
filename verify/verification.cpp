#include "verify/verification.h"

#include <windows.h>

#include <string>
#include <vector>

#include "deploy/package_manifest_win32.h"
#include "entries/plugin_key.h"
#include "framework/afx_app_name.h"
#include "journal/recovery.h"
#include "record/install_record.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "run/run_contract.h"
#include "run/run_log.h"
#include "system/file_identity.h"
#include "system/file_ops.h"
#include "text/path_text.h"
#include "verify/findings.h"
#include "verify/verify_entries.h"
#include "verify/verify_files.h"

namespace {

constexpr char kMachineRoot[] = "HKEY_LOCAL_MACHINE\\";

// The marks of a run killed half way: the installation is not whole until
// the next run of the setup or the uninstaller finishes it, which this one
// never does. True when a mark names `installFolder`.
bool NoteRunsUnderWay(const CString& installFolder, Findings& findings) {
    CString uninstalling;
    if (!ReadPluginValue(HKEY_LOCAL_MACHINE, kUninstallUnderWayValue, &uninstalling)) {
        uninstalling = CString();
    }
    bool here = false;
    for (const CString& folder : {InterruptedInstallationFolder(), uninstalling}) {
        if (folder.IsEmpty()) continue;
        findings.Note(Verdict::UnderWay, folder);
        here = here || IsSamePlace(folder, installFolder);
    }
    return here;
}

// The record's machine copy, believed first, and the file in the folder,
// which must say what the copy says.
void VerifyRecordStores(RecordSource source, const InstallRecord& record,
                        const ServedPlaces& places, Findings& findings) {
    findings.Note(source == RecordSource::MachineCopy ? Verdict::AsInstalled : Verdict::Missing,
                  kMachineRoot + CString(kPluginKey) + " " + kRecordCopyValue);
    CString file;
    const FileReach reach =
        ReachServedFile(places, JoinPath(places.InstallFolder(), kInstallRecordName),
                        SettingsFolder::Excluded, &file);
    // Never Outside: the installation folder is a served place.
    if (reach != FileReach::Reached) {
        findings.Note(Verdict::ThroughLink, JoinPath(places.InstallFolder(), kInstallRecordName));
        return;
    }
    std::string text;
    findings.Note(!ReadSmallFile(file, kMaxRecordBytes, &text) ? Verdict::Missing
                  : text != FormatInstallRecord(record).str()  ? Verdict::Changed
                                                               : Verdict::AsInstalled,
                  file);
}

}  // namespace

int VerifyInstallation(const CString& installFolder, const FoundHosts& hosts, RunLog& log) {
    log.Write(afx::UiText("verify the installation in ") + afx::UiText::System(installFolder));
    Findings findings(log);
    const bool underWayHere = NoteRunsUnderWay(installFolder, findings);
    InstallRecord record;
    const RecordSource source = IsAbsolutePath(installFolder)
                                    ? ReadInstallRecord(installFolder, &record)
                                    : RecordSource::None;
    if (source == RecordSource::None) {
        if (underWayHere) return exit_code::kNotWhole;
        log.Write(afx::UiText("no installation to verify: no record of ") +
                  afx::UiText::System(installFolder));
        return exit_code::kFailed;
    }
    PackageManifest manifest;
    const Seal seal = ReadOwnPackageManifest(&manifest);
    if (seal == Seal::Damaged) findings.Note(Verdict::NotAsSealed, afx::GetModulePath());
    const PackageManifest* sealed = seal == Seal::Sealed ? &manifest : nullptr;

    const ServedPlaces places = FindServedPlaces(installFolder, &record, hosts);
    const std::vector<ServedHost> served = FindServedHosts(record, hosts, findings);
    VerifyRecordStores(source, record, places, findings);
    VerifyRecordedFiles(record, places, sealed, findings);
    VerifyKeptPackage(EarlierRecords::Read(), installFolder, sealed, findings);
    // In the folder's text the installation wrote them with.
    VerifyMachineEntries(record.installFolder, findings);
    VerifyAccountEntries(record.installFolder, served, findings);
    const int damaged = findings.Damaged();
    if (damaged == 0) {
        log.Write("the installation is whole");
        return exit_code::kSuccess;
    }
    log.Write(afx::FormatUiText(
        "the installation is not whole: %d items missing or changed (damage), named above",
        {damaged}));
    return exit_code::kNotWhole;
}
