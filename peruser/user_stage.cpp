#include "peruser/user_stage.h"

#include <algorithm>
#include <cstring>

#include "deploy/package_layout.h"
#include "deploy/plugin_registration.h"
#include "deploy/settings_file.h"
#include "entries/active_setup.h"
#include "entries/plugin_key.h"
#include "hosts/host_discovery.h"
#include "journal/install_context.h"
#include "journal/installed_now.h"
#include "journal/journal_work.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "run/product.h"
#include "run/run_contract.h"
#include "run/run_log.h"
#include "system/file_identity.h"
#include "system/file_ops.h"
#include "text/path_text.h"

namespace {

// The host installations discovery finds for this user that the installation
// served: the same release in the same folder. The key is the one discovery
// finds now, never what the record says.
FoundHosts ServedHosts(const InstallRecord& installed, const FoundHosts& found) {
    FoundHosts served;
    for (const HostRelease release : kHostReleases) {
        const int index = HostReleaseIndex(release);
        for (int i = 0; i < found.GetHostCount(release); ++i) {
            const CString& folder = found.GetHostFolder(release, i);
            const bool recorded = std::any_of(installed.releases.begin(), installed.releases.end(),
                                              [&](const InstallRecord::Release& r) {
                                                  return r.year == HostReleaseYear(release) &&
                                                         IsSamePlace(r.hostFolder, folder);
                                              });
            if (!recorded) continue;
            served.hostKeys[index].Add(found.GetHostKey(release, i));
            served.hostFolders[index].Add(folder);
        }
    }
    return served;
}

// The settings file the installation keeps in its folder, into the user's
// settings folder by the installation's rule; nothing when the user has it
// already.
void CopySettings(const CString& installFolder, InstallContext& stage) {
    const CString source = JoinPath(JoinPath(installFolder, kSettingsCopyFolder), kSettingsFile);
    if (GetPathKind(source) != PathKind::File) return;  // the package had none
    CString destination;
    const bool ready = PrepareUserSettings(source, kSettingsFile, stage.journal, &destination);
    if (ready && SameContent(source, destination)) return;
    if (!ready ||
        !stage.journal.InstallFile(source, destination, InstallRecord::Origin::Settings)) {
        stage.notDone.Add(StepsNotDone::Kind::SettingsNotWritten, destination);
    }
}

// What this run did, with what earlier runs did that it can reach no more
// (journal/installed_now.h): an entry an earlier run created stays the
// plug-in's to remove although this run found it there, and one this run
// did not write again (another version, a release no longer served) goes
// now, while the user's settings stay.
void RecordForUser(InstallRecord done, const InstallRecord& earlier, const CString& version,
                   const FoundHosts& found, RunLog& log) {
    const ServedPlaces places = FindServedPlaces(done.installFolder, nullptr, found);
    std::vector<CString> passedOver;
    for (const JournalLine& line :
         TakeInEarlier(done, earlier, {}, ReachOnThisMachine(places, found, true), &passedOver)) {
        FinishJournalLine(line, places, log);
    }
    done.version = version;
    // In a fixed order, so that a run that changes nothing writes the same record.
    std::sort(done.keys.begin(), done.keys.end(),
              [](const auto& a, const auto& b) { return std::strcmp(a.path, b.path) < 0; });
    const bool written = WriteUserRecord(done);
    log.Result("user record HKEY_CURRENT_USER\\", kPluginKey, written,
               written ? 0 : GetLastError());
}

}  // namespace

int RunUserStage(const CString& installFolder, RunLog& log) {
    InstallRecord installed;
    if (!IsAbsolutePath(installFolder) ||
        ReadInstallRecord(installFolder, &installed) == RecordSource::None) {
        log.Write(afx::UiText("no readable install record, nothing to serve: ") +
                  afx::UiText::System(installFolder));
        return exit_code::kFailed;
    }
    const FoundHosts found = DiscoverHostInstallations();
    const FoundHosts served = ServedHosts(installed, found);

    InstallRecord earlier;
    const bool servedThisVersion = ReadUserRecord(&earlier) && earlier.version == installed.version;

    InstallContext stage(log);
    bool missing = false;
    for (const HostRelease release : kHostReleases) {
        if (served.GetHostCount(release) == 0) continue;
        RegisterRelease(served, release, installFolder, stage);
        missing = missing || ProfileMissing(served, release);
    }
    // The settings once per version, as the installation gives them to the
    // account that runs it: what the user changes afterwards is theirs.
    if (!servedThisVersion) CopySettings(installFolder, stage);
    // Drops the earlier files the journal kept aside.
    stage.journal.Commit();
    stage.journal.Finish(FindServedPlaces(installFolder, nullptr, found));
    RecordForUser(stage.journal.Record(installFolder), earlier, installed.version, found, log);

    // Active Setup starts the stage once per version: a host this user has
    // not started yet gets its entries at a later logon, once it has made
    // its profile.
    if (missing) {
        const CString command =
            UserStageCommand(JoinPath(installFolder, kUserStageName), kStartedByRunOnce);
        const bool armed = ArmRunOnce(command);
        log.Result("a host profile is missing; at the next logon again:", command, armed,
                   armed ? 0 : GetLastError());
    } else {
        DisarmRunOnce();
    }
    if (!stage.notDone.IsEmpty()) log.Write(stage.notDone.WarningText());
    return exit_code::kSuccess;
}
