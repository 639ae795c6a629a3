// The command line IT staff type for unattended runs, in the conventions
// they already use for other installers: switches in any order and any
// case, a value after '=' that may be quoted. Platform-free.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "run/run_contract.h"

enum class CommandLineKind { Setup, Uninstaller };

struct CommandLine {
    RunMode mode = RunMode::Interactive;
    bool help = false;
    bool log = false;
    CString logPath;  // empty for /LOG alone: a new log in the temporary folder
    bool hasFolder = false;
    CString folder;  // /DIR, as typed
    bool hasComponents = false;
    std::vector<int> years;       // /COMPONENTS: release years, as given
    bool allowDowngrade = false;  // an older version over a newer one, on purpose
    CString secondPhaseFolder;    // the uninstaller started again from its temporary copy
    // The uninstaller's /REPAIR, /MODIFY or /VERIFY (which is very silent too).
    UninstallerTask task = UninstallerTask::Uninstall;
};

// Parses what follows the program's name. False, with the first bad
// argument and why in *error (a text for the log), for a switch the program
// does not take, a value where none belongs or a missing or bad one. Even
// then `out` holds the mode and the log the whole line asks for: a bad line
// with a silent switch anywhere is refused without a window, in its log.
bool ParseCommandLine(const char* arguments, CommandLineKind kind, CommandLine* out,
                      CString* error);

// The uninstaller's task and its releases as switches (" /MODIFY
// /COMPONENTS=2024,2026"), for its second process; empty for the uninstall.
CString TaskArguments(const CommandLine& commandLine);

// What follows the program's own name (quoted or not) in a whole command line.
const char* ArgumentsOf(const char* commandLine);

// The switches, one a line, for /? and the log of a bad command line; last
// the exit codes that program returns.
extern const char kSetupCommandLineHelp[];
extern const char kUninstallerCommandLineHelp[];
