// Before an installation changes anything: work another program queued for
// the next restart on what it would write. A file written now that the
// restart then deletes or replaces, or whose folder it renames, would leave
// an installation that says it is whole. The queue is checked here once,
// against one list of what the run writes; the journal then only takes the
// plug-in's own deletions out, file by file.
#pragma once

#include "framework/afx_string.h"

class FoundHosts;
struct InstallRequest;

// A path the queue of the next restart names on what the installation
// writes (or a folder above it), other than the plug-in's own deletions,
// which the journal takes out; empty when there is none. What it writes:
// its folder (its files, its kept package, the host files it keeps, the
// settings copy), the host files of its releases and the account's
// settings file.
CString QueuedForTheRestart(const InstallRequest& request, const FoundHosts& hosts);
