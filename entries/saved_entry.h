// A machine entry as it was before a run changed it: the record's copy, the
// Programs and Features entry, the Active Setup entry and the running
// account's stamp of it. Its values are kept in the journal line written and
// flushed before the change (journal/line_kinds.h), so that the undo of a
// run killed before its commit puts back exactly what was there. The form
// is platform-free; the registry is read and written in
// saved_entry_win32.cpp.
#pragma once

#include <string>
#include <vector>

// One value, byte for byte as the registry's wide functions hand it over.
struct SavedValue {
    std::string name;  // UTF-16LE, without a terminator
    unsigned long type = 0;
    std::string data;
};

struct SavedEntry {
    bool existed = false;  // the key (or, for one value, that value) was there
    std::vector<SavedValue> values;
};

// Where an entry lies: below HKEY_LOCAL_MACHINE, which only administrators
// change, or in the running account's hive, reached through no link.
enum class EntryRoot { Machine, RunningAccount };
struct EntryPlace {
    EntryRoot root;
    const char* key;
    const char* value;  // the one value the entry is; null: the whole key
};

// The entry as it is now. False, with GetLastError() set, when it cannot be
// read whole: it must then not be changed.
bool SaveEntry(const EntryPlace& place, SavedEntry* saved);
// The entry as it was: the key rewritten with exactly the saved values, or
// (the one value) that value; removed when there was none. False, with
// GetLastError() set, when it could not be.
bool PutBackEntry(const EntryPlace& place, const SavedEntry& saved);
