// Where an installation's record is kept, and how it is read back: the file
// in the installation folder and a second copy in the machine-wide key that
// only administrators may change (and the per-user stage's record in the
// user's hive). Every byte of each is input, checked
// before it is believed.
#pragma once

#include <optional>

#include "framework/afx_string.h"
#include "record/install_record.h"

// A record larger than this is not one the setup wrote.
constexpr unsigned long kMaxRecordBytes = 4 * 1024 * 1024;

enum class RecordSource { None, File, MachineCopy };

// Reads the record of the installation folder: the machine's copy, which
// only administrators can write, whenever the machine holds a whole one; the
// file in the folder only when it does not. None when the one believed is
// not whole or describes another folder (a record copied elsewhere, or an
// installation that is now elsewhere).
RecordSource ReadInstallRecord(const CString& installFolder, InstallRecord* record);

// What the machine says of the earlier installation, read once at the start
// of a run (after an interrupted run was finished or undone) and passed to
// whatever asks about it: the folder Programs and Features names, the record
// file in that folder (in the folder the machine's copy describes when no
// entry names one) and the record's machine copy. A record file in any
// other folder is not read.
class EarlierRecords {
public:
    EarlierRecords() = default;  // nothing installed
    static EarlierRecords Read();

    // The installation folder Programs and Features names (absolute), or empty.
    const CString& EntryFolder() const { return m_entryFolder; }
    // The record of `installFolder` as ReadInstallRecord reads it: the
    // machine's copy whenever there is one, else the file.
    RecordSource RecordOf(const CString& installFolder, InstallRecord* record) const;
    // Only the machine's copy, which only administrators can have written
    // whoever may change the installation folder; false when there is none
    // for this folder.
    bool MachineCopyOf(const CString& installFolder, InstallRecord* record) const;
    // The version of the installation Programs and Features names, as the
    // machine's copy of its record says (only administrators write either;
    // the file in its folder is not asked, which an earlier version may have
    // left changeable by users): yyyymmdd, 0 when there is none or it names none.
    int InstalledVersion() const;

private:
    CString m_entryFolder;
    std::optional<InstallRecord> m_file;  // whole, describing the folder it lies in
    std::optional<InstallRecord> m_copy;  // whole, whichever folder it describes
};

// The file (when it describes this folder) and the machine's copy.
void DeleteInstallRecord(const CString& installFolder);

// What the per-user stage did for the user, in the user's own hive (below
// HKEY_CURRENT_USER, whichever hive that stands for now); false when there
// is no whole record.
bool ReadUserRecord(InstallRecord* record);
bool WriteUserRecord(const InstallRecord& record);
