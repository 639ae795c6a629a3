// The two ways the checks before an installation (install/install_checks.h)
// say what they found.
#pragma once

#include <windows.h>

#include "install/install_checks.h"

class RunLog;

// Boxes, for a person at the screen (the dialog, an interactive repair), who
// is asked whether to install into a folder users other than administrators
// may change, the safe answer the default. A running host is warned of once:
// the next install command goes on.
class BoxedChecks : public CheckPresenter {
public:
    explicit BoxedChecks(RunLog& log) : m_log(log) {}
    // The window that owns the boxes (none: no window of the program shows).
    void ShowOver(HWND owner) { m_owner = owner; }

    bool LooksForRunningHost() const override { return !m_warnedOfHost; }
    void FolderChosen(const InstallRequest&) override {}
    void Refuse(const Refused& refused) override;
    bool MayAsk() const override { return true; }
    bool InstallThereAllTheSame(const std::vector<UnsafeFolder>& unsafe,
                                const CString& installFolder) override;

private:
    RunLog& m_log;
    HWND m_owner = nullptr;
    bool m_warnedOfHost = false;
};

// The log, for a deployment tool (the silent modes): nobody can be asked, so
// a folder users other than administrators may change is refused.
class LoggedChecks : public CheckPresenter {
public:
    explicit LoggedChecks(RunLog& log) : m_log(log) {}

    bool LooksForRunningHost() const override { return true; }
    void FolderChosen(const InstallRequest& request) override;
    void Refuse(const Refused& refused) override;
    bool MayAsk() const override { return false; }
    bool InstallThereAllTheSame(const std::vector<UnsafeFolder>&, const CString&) override {
        return false;
    }

private:
    RunLog& m_log;
};
