#include "run/run_log.h"

#include <cstring>
#include <string>

#include "framework/afx_app_name.h"
#include "framework/afx_error.h"
#include "framework/afx_unicode.h"
#include "run/run_contract.h"
#include "run/running_account.h"
#include "system/folder_security.h"
#include "system/held_folders.h"
#include "text/path_text.h"

namespace {

constexpr char kLogExtension[] = ".log";
constexpr char kLineEnd[] = "\r\n";
// What a line break inside an event becomes: the event stays on one line.
constexpr char kFoldedBreak[] = " / ";

std::string FoldLineBreaks(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') continue;
        if (text[i] == '\n') {
            // Runs of breaks (a paragraph) fold into one.
            if (out.empty() || out.compare(out.size() - 3, 3, kFoldedBreak) != 0) {
                out += kFoldedBreak;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

// WriteFile's offset that stands for the end of the file.
constexpr DWORD kEndOfFile = 0xFFFFFFFF;

CString ErrorText(const char* what, DWORD error) {
    CString text;
    text.Format("%s (error %lu: %s)", what, static_cast<unsigned long>(error),
                AfxErrorText(static_cast<HRESULT>(error)).GetString());
    return text;
}

// Makes the log folder the deployment page recommends when it is missing,
// so that a deployment's command line needs no step of its own: only that
// folder, and with the installation folder's permissions, since a log in a
// folder everyone may write can be planted or held. False, with
// GetLastError() set, when it is missing and cannot be made.
bool MakeDeploymentLogFolder(const CString& logPath) {
    const CString folder = ParentFolder(logPath);
    char windows[MAX_PATH];
    const UINT length = GetSystemWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH ||
        !IsSamePath(folder, JoinPath(CString(windows), kDeploymentLogFolder)) ||
        GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    return CreateFolderWith(folder, NewFolderAccess::Protected) ||
           GetLastError() == ERROR_ALREADY_EXISTS;
}

// The log's own file at `path`, whose folders are held: opened as it is,
// never through a link (a user may plant one in a shared folder under the
// name this run writes), and not emptied before it has passed: a hard link
// there would empty the file it names. Empty, with *refusal, otherwise.
afx::ScopedKernelHandle OpenPlainFile(const CString& path, bool append, CString* refusal) {
    // Shared for writing: the uninstaller's two processes go on in one log.
    afx::ScopedKernelHandle file(
        CreateFileA(path, FILE_READ_ATTRIBUTES | FILE_WRITE_DATA | FILE_APPEND_DATA | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesA(path);
        *refusal = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                       ? CString("a folder, not a file")
                       : ErrorText("cannot be opened", error);
        return afx::ScopedKernelHandle();
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        *refusal = "a device, not a file";
        return afx::ScopedKernelHandle();
    }
    if (!GetFileInformationByHandle(file.Get(), &information)) {
        *refusal = ErrorText("cannot be read", GetLastError());
        return afx::ScopedKernelHandle();
    }
    if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        *refusal = "a link, junction or mount point";
        return afx::ScopedKernelHandle();
    }
    if (information.nNumberOfLinks != 1) {
        refusal->Format("a file with %lu names (hard links): it may be another file's",
                        static_cast<unsigned long>(information.nNumberOfLinks));
        return afx::ScopedKernelHandle();
    }
    const LARGE_INTEGER start = {};
    if (!append &&
        (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get()))) {
        *refusal = ErrorText("cannot be emptied", GetLastError());
        return afx::ScopedKernelHandle();
    }
    return file;
}

using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);

// The version Windows really runs: GetVersionEx answers what the manifest
// declares compatibility with.
CString WindowsVersion() {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    const FARPROC proc = GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion");
    CString text;
    if (proc && reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(proc))(&info) == 0) {
        text.Format("%lu.%lu.%lu", info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber);
    } else {
        text = "unknown";
    }
    return text;
}

}  // namespace

bool RunLog::Open(const CString& path, bool append, CString* refusal) {
    // Absolute against the folder the run was started from: the
    // uninstaller's second process, started in another folder, is handed
    // this path.
    CString normal;
    if (!AbsoluteNormalPath(path, &normal)) {
        *refusal = "a device or a stream, not a file on a drive or a share";
        return false;
    }
    if (!MakeDeploymentLogFolder(normal)) {
        *refusal = ErrorText("its folder cannot be made", GetLastError());
        return false;
    }
    // Every folder on the way as itself, held until the log is open: a link
    // a user made in a folder they may write would lead the write elsewhere.
    HeldFolders folders;
    CString at;
    switch (folders.Hold(normal, &at)) {
        case HeldFolders::Outcome::Held:
            break;
        case HeldFolders::Outcome::Link:
            *refusal = "its folder " + at + " is a link, junction or mount point";
            return false;
        case HeldFolders::Outcome::Unopened:
            *refusal = ErrorText("its folder " + at + " cannot be opened", GetLastError());
            return false;
    }
    afx::ScopedKernelHandle file = OpenPlainFile(normal, append, refusal);
    if (!file) return false;
    m_file = std::move(file);
    m_path = normal;
    return true;
}

bool RunLog::OpenNew(const char* stem) {
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) return false;
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString stamped;  // the temporary folder ends with a backslash
    stamped.Format("%s%s%04d%02d%02d-%02d%02d%02d", temp, stem, now.wYear, now.wMonth, now.wDay,
                   now.wHour, now.wMinute, now.wSecond);
    for (int attempt = 1;; ++attempt) {
        const CString path = NumberedName(stamped, attempt, kLogExtension);
        afx::ScopedKernelHandle file(CreateFileA(path, FILE_APPEND_DATA | SYNCHRONIZE,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            m_file = std::move(file);
            m_path = path;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
}

void RunLog::Write(const afx::UiText& text) {
    if (!m_file) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString stamp;
    stamp.Format("%04d-%02d-%02d %02d:%02d:%02d.%03d ", now.wYear, now.wMonth, now.wDay, now.wHour,
                 now.wMinute, now.wSecond, now.wMilliseconds);
    // UTF-8 holds every character of every code page.
    CString utf8;
    afx::FromWide(afx::ToWide(text).c_str(), CP_UTF8, &utf8);
    const std::string line = stamp.str() + FoldLineBreaks(utf8.str()) + kLineEnd;
    DWORD written = 0;
    // Always at the end, wherever another process of the run has written.
    OVERLAPPED atEnd = {};
    atEnd.Offset = kEndOfFile;
    atEnd.OffsetHigh = kEndOfFile;
    WriteFile(m_file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, &atEnd);
}

void RunLog::Result(const char* what, const CString& subject, bool ok, DWORD error) {
    if (!m_file) return;
    // "...\\" runs on into its subject: a key's root and its path.
    const size_t length = std::strlen(what);
    const bool joined = length > 0 && what[length - 1] == '\\';
    afx::UiText text = afx::UiText(what) + (joined ? "" : " ") + afx::UiText::System(subject);
    if (ok) {
        text += ": ok";
    } else {
        CString code;
        code.Format(": failed (error %lu: ", static_cast<unsigned long>(error));
        text += afx::UiText::System(code) +
                afx::UiText::System(AfxErrorText(static_cast<HRESULT>(error))) + ")";
    }
    Write(text);
}

void LogRunStart(RunLog& log, const char* version) {
    if (!log.IsOpen()) return;  // looking up the account delays the dialog for nothing
    const RunningAccount account = CurrentAccount();
    log.Write(afx::UiText::System(afx::GetAppName() + " " + version));
    log.Write(afx::UiText("command line: ") + afx::UiText::System(GetCommandLineA()));
    log.Write(afx::UiText("Windows ") + afx::UiText::System(WindowsVersion()));
    log.Write(afx::UiText("account: ") + afx::UiText::System(account.name) + " " +
              afx::UiText::System(account.sid) +
              (account.elevated ? " elevated" : " not elevated"));
}

int LogExitCode(RunLog& log, int exitCode) {
    log.Write(afx::FormatUiText("exit code %d: ", {exitCode}) + ExitCodeMeaning(exitCode));
    return exitCode;
}
