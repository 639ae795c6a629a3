#include "deploy/settings_file.h"

#include <windows.h>

#include "journal/install_journal.h"
#include "run/product.h"
#include "system/app_data.h"
#include "system/file_ops.h"
#include "text/path_text.h"

bool BackUpSettings(const CString& settings, InstallJournal& journal) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const CString stem = TimestampedStem(
        settings, {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
    return journal.InstallFile(settings, FreeName(stem, kSettingsBackupExtension),
                               InstallRecord::Origin::Settings);
}

bool PrepareUserSettings(const CString& source, const char* name, InstallJournal& journal,
                         CString* destination) {
    const CString appData = UserAppDataFolder();
    if (appData.IsEmpty()) {
        *destination = name;
        return false;
    }
    const CString folder = JoinPath(appData, kSettingsSubfolder);
    *destination = JoinPath(folder, name);
    // A folder that cannot be made shows when the file is written. It is the
    // user's, to change as they please: not the installation's protection.
    journal.CreateFolder(folder, NewFolderAccess::Inherited);
    if (IsReparsePoint(folder)) return false;
    // The user's own settings are kept beside the new ones; never lost.
    return GetPathKind(*destination) != PathKind::File || SameContent(source, *destination) ||
           BackUpSettings(*destination, journal);
}
