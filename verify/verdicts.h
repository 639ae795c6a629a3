// What Uninstall.exe /VERIFY makes of each item it checks, and the words its
// log gives each verdict. Damage is what a repair puts back or an
// installation must mend: the plug-in's own file or entry missing or not as
// installed. What the installation does not own, or cannot judge, is said
// and not counted. Platform-free.
#pragma once

#include "framework/afx_string.h"
#include "record/file_ownership.h"

enum class Verdict {
    AsInstalled,
    Missing,       // damage: a file or entry the installation made is not there
    Changed,       // damage: the plug-in's own file is not what was installed
    NamesOther,    // damage: an entry there names another folder or program
    ThroughLink,   // damage: reached only through a link, so never the plug-in's
    NotAsKept,     // damage: the kept package is not what its record says
    NotAsSealed,   // damage: the kept package is not what this sealed program installs
    UnderWay,      // damage: a run killed half way, finished only by the next run
    HostsOwn,      // a host's module or font changed since: the CAD's own now
    InUse,         // held open without sharing: its content could not be read
    Unproven,      // recorded without a SHA-256 (an earlier version's record)
    HostNotFound,  // a recorded host folder discovery no longer finds
    NoProfile,     // this account has no profile of a served host: nothing of it to check
    Outside,       // the record names it outside the places served now
};

bool IsDamage(Verdict verdict);

// The log's words for a verdict, ending with whether it is damage.
CString VerdictWords(Verdict verdict);

// Where a recorded file lies: the plug-in's own places (the installation
// folder, its kept files and settings copy) or a host folder (and its fonts).
enum class FilePlace { Plugin, Host };

// A recorded file's verdict: a host's module or font changed since is the
// CAD's own (a CAD updates its folder), a plug-in file changed is damage.
Verdict JudgeVerifiedFile(FilePlace place, Ownership ownership);
