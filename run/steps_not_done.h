// What an installation did not do. A step that fails without stopping the
// installation (a file passed over at the user's word, a file or a registry
// entry for a host that could not be written, the settings file) adds an
// item here, and the user sees every item before the completion layout: the
// installation never reports success over work it did not do. Platform-free.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"

class StepsNotDone {
public:
    enum class Kind {
        FileSkipped,         // a package file the user chose to pass over
        HostFileNotCopied,   // a font or module that did not reach a host folder
        RegistryNotWritten,  // an entry under a host's per-user profile
        SettingsNotWritten,  // the settings file in the user's settings folder
        UninstallNotSetUp,   // the record, the uninstaller or the entry in Programs and Features
        UserStageNotSetUp,   // the per-user stage or its Active Setup entry: no other user served
        // what the earlier installation had, neither removed nor queued for
        // the restart: still recorded, the next run tries again
        NotRemoved,
    };

    // `what` names the item (a system text): a path, or a registry key below
    // HKEY_CURRENT_USER.
    void Add(Kind kind, const CString& what);
    bool IsEmpty() const { return m_items.empty(); }
    int GetCount() const { return static_cast<int>(m_items.size()); }

    // The warning: every item on a line of its own (the first kMaxListedItems,
    // then how many more) and what it means for the hosts.
    afx::UiText WarningText() const;

    static constexpr int kMaxListedItems = 12;

private:
    struct Item {
        Kind kind;
        CString what;
    };
    std::vector<Item> m_items;
};
