#include "install/user_stage_entry.h"

#include <windows.h>

#include "deploy/plugin_registration.h"
#include "entries/active_setup.h"
#include "framework/afx_mbcs.h"
#include "install/install_request.h"
#include "journal/install_context.h"
#include "resources/resource.h"
#include "run/product.h"
#include "run/product_version.h"
#include "text/path_text.h"

namespace {

// A host profile of this account's is missing for a release served: the
// account's next logon serves it.
bool OwnProfileMissing(const ReleaseSelection& releases, const FoundHosts& hosts) {
    for (const HostRelease release : releases.Releases()) {
        if (ProfileMissing(hosts, release)) return true;
    }
    return false;
}

// This account was served just now, unless it has no profile of its own; a
// host it has not started yet is left to its next logon.
void StampThisAccount(const InstallRequest& request, const FoundHosts& hosts,
                      const CString& version, InstallContext& install) {
    if (!request.servesOwnProfile) {
        install.log.Write("a service account: no Active Setup stamp of its own");
        return;
    }
    if (OwnProfileMissing(request.releases, hosts)) {
        install.log.Write(
            "a host profile of this account's is missing: not stamped, its next "
            "logon starts the per-user stage");
        return;
    }
    const bool stamped = install.journal.NoteEntryChange(JournalLine::Kind::ActiveSetupStamp) &&
                         StampActiveSetupDone(version);
    install.log.Result("served already: Active Setup stamp HKEY_CURRENT_USER\\", kActiveSetupKey,
                       stamped, stamped ? 0 : GetLastError());
}

}  // namespace

bool WriteUserStage(const CString& installFolder, InstallContext& install) {
    const CString stage = JoinPath(installFolder, kUserStageName);
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_USER_STAGE), RT_RCDATA);
    const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const bool written =
        bytes && install.journal.InstallData(stage, bytes, SizeofResource(nullptr, found));
    install.log.Result("per-user stage", stage, written, written ? 0 : GetLastError());
    if (!written) install.notDone.Add(StepsNotDone::Kind::UserStageNotSetUp, stage);
    return written;
}

void EnterUserStage(const InstallRequest& request, const FoundHosts& hosts, bool servesUsersAgain,
                    InstallContext& install) {
    const CString command =
        UserStageCommand(JoinPath(request.installFolder, kUserStageName), kStartedByActiveSetup);
    CString earlierCommand;
    CString earlierVersion;
    const bool entered = ReadActiveSetupEntry(&earlierCommand, &earlierVersion);
    const bool serveAgain =
        entered && (afx::MbsICmp(earlierCommand, command) != 0 || servesUsersAgain);
    const CString version = NextActiveSetupVersion(kSetupVersion, earlierVersion, serveAgain);
    const bool written = install.journal.NoteEntryChange(JournalLine::Kind::ActiveSetupEntry) &&
                         WriteActiveSetupEntry(command, version);
    install.log.Result("Active Setup entry HKEY_LOCAL_MACHINE\\", kActiveSetupKey, written,
                       written ? 0 : GetLastError());
    if (!written) {
        install.notDone.Add(StepsNotDone::Kind::UserStageNotSetUp,
                            CString("HKEY_LOCAL_MACHINE\\") + kActiveSetupKey);
        return;
    }
    StampThisAccount(request, hosts, version, install);
}
