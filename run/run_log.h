// The log of a run, for whoever has to explain it afterwards: plain UTF-8
// text, one line an event, each with its local time. A log that was not
// opened takes every event and writes nothing, so the steps log without
// asking whether anyone reads it.
#pragma once

#include <windows.h>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"
#include "framework/scoped_handles.h"

// The folder below the Windows folder that the deployment page recommends
// for logs: only administrators may write there.
constexpr char kDeploymentLogFolder[] = "Logs\\Software";

// The stems of the logs the programs make in the temporary folder.
constexpr char kSetupLogStem[] = "Torvex-Setup-";
constexpr char kUserStageLogStem[] = "Torvex-UserSetup-";

class RunLog {
public:
    RunLog() = default;
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // Opens the file at `path` for this run: created, or emptied, or
    // continued at its end when `append` (the uninstaller's second process
    // goes on with the first one's log). A relative `path` is taken against
    // the current folder, and Path() is then absolute. Written only when it
    // is a plain file on disk with a single name and no reparse point,
    // reached through no link, junction or mount point from its root down,
    // and only emptied once it has passed: whatever else is found there
    // stays untouched, and false comes with what was found in *refusal (a
    // text for the log).
    // The folder deployment guides recommend, `<Windows>\Logs\Software`, is
    // made when it is missing, with the installation folder's permissions.
    bool Open(const CString& path, bool append, CString* refusal);
    // Creates a new log in the temporary folder, "<stem><time>.log"
    // (numbered when the name is taken: an existing file is never reused).
    bool OpenNew(const char* stem);
    bool IsOpen() const { return m_file.IsValid(); }
    const CString& Path() const { return m_path; }

    // One line; line breaks inside the text are folded.
    void Write(const afx::UiText& text);
    // "<what> <subject>: ok" or "...: failed (error N: <system's text>)".
    void Result(const char* what, const CString& subject, bool ok, DWORD error = 0);

private:
    afx::ScopedKernelHandle m_file;
    CString m_path;
};

// The first lines of a run's log: the program, its version and command
// line, the Windows version and the account.
void LogRunStart(RunLog& log, const char* version);
// The last line: the run's exit code and what it means. Returns the code.
int LogExitCode(RunLog& log, int exitCode);
