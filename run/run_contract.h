// What a run of the setup or the uninstaller promises whoever started it: a
// person at the screen, or a deployment tool (Intune, Configuration Manager,
// a Group Policy script, winget). How it shows itself, and the exit codes
// those tools already know, so that nobody has to map them. Platform-free.
#pragma once

enum class RunMode {
    Interactive,  // the dialog and every box
    Silent,       // the dialog shows progress only; nothing is asked
    VerySilent,   // no window at all
};

// What a run of Uninstall.exe is asked for: the uninstall, or an
// installation from the package the installation keeps, into its own folder:
// the releases it serves put back (/REPAIR), or others chosen (/MODIFY); or
// only a check of the installation, which changes nothing (/VERIFY).
enum class UninstallerTask { Uninstall, Repair, Modify, Verify };

namespace exit_code {
constexpr int kSuccess = 0;
// The installation is not whole: something of it is missing or changed (the
// log names each). Only Uninstall.exe /VERIFY returns it.
constexpr int kNotWhole = 1;
// Done, but something takes effect only after a restart.
constexpr int kRestartRequired = 3010;
constexpr int kUserCancelled = 1602;
constexpr int kFailed = 1603;
// Try again later: a host runs, or another setup or uninstall does.
constexpr int kBusy = 1618;
constexpr int kBadCommandLine = 1639;
// Nothing was done: work queued for the next restart would change a file the
// installation writes. Windows' ERROR_FAIL_NOACTION_REBOOT ("No action was
// taken as a system reboot is required").
constexpr int kRestartFirst = 350;
// Nothing was done: a newer version is installed, and an older one replaces
// it only when asked to (/ALLOWDOWNGRADE). Windows Installer's
// ERROR_PRODUCT_VERSION ("Another version of this product is already
// installed"); winget's "downgrade".
constexpr int kDowngradeRefused = 1638;
}  // namespace exit_code

// What an exit code means, for the log.
const char* ExitCodeMeaning(int code);
