// Before an installation changes anything: work another program queued for
// the next restart on a file it would write. A file written now that the
// restart then deletes or replaces would leave an installation that says it
// is whole.
#pragma once

#include "framework/afx_string.h"

class FoundHosts;
struct InstallRequest;

// A path the queue of the next restart names that the installation would
// write (its own folder, the host files of its releases, the account's
// settings file), other than the plug-in's own deletions, which the journal
// takes out; empty when there is none.
CString QueuedForTheRestart(const InstallRequest& request, const FoundHosts& hosts);
