// Where the per-user stage (UserSetup.exe) stands in the registry. The setup
// enters it in Active Setup, which has Windows start it once for each user
// at logon, and stamps the account that ran the setup as served. The stage
// keeps the record of what it did in the user's own hive, and has itself
// started again at the user's next logon (RunOnce) while a host profile it
// serves is missing. The uninstaller removes all of it from every profile.
#pragma once

#include <windows.h>

#include "framework/afx_string.h"

// The plug-in's Active Setup entry below HKEY_LOCAL_MACHINE; a user's stamp
// of it has the same path below HKEY_CURRENT_USER.
extern const char kActiveSetupKey[];
// What started the stage, as its command line says: for its log.
constexpr char kStartedByActiveSetup[] = "/ACTIVESETUP";
constexpr char kStartedByRunOnce[] = "/RUNONCE";

// The quoted stage and the argument saying what starts it.
CString UserStageCommand(const CString& stagePath, const char* startedBy);

// Below HKEY_LOCAL_MACHINE, written anew: the stage's command and the
// version Active Setup compares with each user's stamp.
bool WriteActiveSetupEntry(const CString& command, const CString& version);
// The registry's result (ERROR_FILE_NOT_FOUND when there was none).
LONG DeleteActiveSetupEntry();
// The entry's command and version; false when there is none.
bool ReadActiveSetupEntry(CString* command, CString* version);

// The rest below HKEY_CURRENT_USER, whichever hive that stands for now,
// never through a link.
// The account has what this version of the stage would give it.
bool StampActiveSetupDone(const CString& version);
// The stage once more at the user's next logon; or no more.
bool ArmRunOnce(const CString& command);
void DisarmRunOnce();
// The record, the RunOnce value and the stamp.
void DeleteUserStageTraces();
