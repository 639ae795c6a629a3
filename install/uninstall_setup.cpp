#include "install/uninstall_setup.h"

#include <windows.h>

#include "entries/uninstall_entry.h"
#include "framework/afx_app_name.h"
#include "journal/earlier_installation.h"
#include "journal/install_context.h"
#include "journal/installed_now.h"
#include "journal/record_file.h"
#include "record/record_store.h"
#include "run/product.h"
#include "run/product_version.h"
#include "system/file_identity.h"
#include "system/file_ops.h"
#include "text/path_text.h"

namespace {

// The uninstaller: this program's bytes. Already these bytes (a repair or a
// modify runs from a copy of it, while the uninstaller that started the copy
// still runs), it is left as it is.
bool WriteUninstaller(const CString& uninstaller, InstallContext& install) {
    const CString self = afx::GetModulePath();
    if (!IsReparsePoint(uninstaller) && SameContent(self, uninstaller)) return true;
    return install.journal.InstallFile(self, uninstaller) && SameContent(self, uninstaller);
}

// The entry, sized by the uninstaller and the files recorded.
bool WriteEntry(const CString& installFolder, const InstallRecord& record,
                InstallContext& install) {
    unsigned long long bytes = FileSize(JoinPath(installFolder, kUninstallerName));
    for (const InstallRecord::File& file : record.files) bytes += file.size;
    // The earlier entry is written ahead: an undone installation puts it back.
    const bool entered = install.journal.NoteEntryChange(JournalLine::Kind::UninstallEntry) &&
                         WriteUninstallEntry({installFolder, kSetupVersion, bytes});
    install.log.Result("Programs and Features entry HKEY_LOCAL_MACHINE\\", kUninstallEntryKey,
                       entered, entered ? 0 : GetLastError());
    if (!entered) {
        install.notDone.Add(StepsNotDone::Kind::UninstallNotSetUp,
                            CString("HKEY_LOCAL_MACHINE\\") + kUninstallEntryKey);
    }
    return entered;
}

}  // namespace

UninstallSetUp SetUpUninstall(const CString& installFolder, const CString& entryFolder,
                              EarlierInstallations& earlier, const ReachNow& reach,
                              InstallContext& install) {
    // What the installation did, before its own uninstaller is written: the
    // uninstaller takes care of itself.
    InstallRecord record = install.journal.Record(installFolder);
    record.version = FormatSetupVersion(kSetupVersion);
    earlier.MergeInto(record, reach);
    UninstallSetUp done;
    done.servesUsersAgain = earlier.Here().version != record.version ||
                            !ServeTheSameHosts(record, earlier.Here(), reach);

    const CString uninstaller = JoinPath(installFolder, kUninstallerName);
    const bool uninstallerWritten = WriteUninstaller(uninstaller, install);
    const bool recordWritten =
        uninstallerWritten && WriteInstallRecord(record, install.journal, install.log);
    done.uninstallable = uninstallerWritten && recordWritten;
    if (!done.uninstallable) {
        install.notDone.Add(
            StepsNotDone::Kind::UninstallNotSetUp,
            uninstallerWritten ? JoinPath(installFolder, kInstallRecordName) : uninstaller);
        if (IsSamePlace(entryFolder, installFolder) &&
            install.journal.NoteEntryChange(JournalLine::Kind::UninstallEntry)) {
            DeleteUninstallEntry();
        }
        return done;
    }
    done.entered = WriteEntry(installFolder, record, install);
    return done;
}
