#include "journal/pending_restart.h"

#include <windows.h>

#include <algorithm>

#include "entries/plugin_key.h"
#include "framework/afx_registry.h"
#include "framework/afx_unicode.h"
#include "record/record_fields.h"
#include "record/served_places.h"
#include "text/path_text.h"

namespace {

constexpr char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kQueueValue[] = L"PendingFileRenameOperations";
// How the queue names a path: the NT form of a DOS path (a UNC path below
// "UNC"), a target that may replace an existing file marked in front.
constexpr wchar_t kNtPrefix[] = L"\\??\\";
constexpr wchar_t kNtUncPrefix[] = L"\\??\\UNC\\";
constexpr wchar_t kUncStart[] = L"\\\\";
constexpr wchar_t kReplaceMark = L'!';
// A queue larger than this is not one Windows keeps.
constexpr DWORD kMaxQueueBytes = 4 * 1024 * 1024;

// The queue's strings in order: the source and target of each operation.
// True when there is none; false when it cannot be read, and so must not be
// rewritten.
bool ReadQueue(std::vector<std::wstring>* strings) {
    strings->clear();
    DWORD type = 0;
    DWORD size = 0;
    const afx::ScopedRegKey key =
        afx::OpenRegKey(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_QUERY_VALUE);
    const LONG opened = key ? ERROR_SUCCESS : static_cast<LONG>(GetLastError());
    const LONG found = opened == ERROR_SUCCESS ? RegQueryValueExW(key.Get(), kQueueValue, nullptr,
                                                                  &type, nullptr, &size)
                                               : opened;
    if (found == ERROR_FILE_NOT_FOUND) return true;
    if (found != ERROR_SUCCESS || type != REG_MULTI_SZ || size > kMaxQueueBytes) return false;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.Get(), kQueueValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
        return false;
    }
    // Strings end at each NUL; the list ends at an empty one, or with the data.
    const size_t end = size / sizeof(wchar_t);
    for (size_t start = 0; start < end;) {
        const std::wstring text(data.data() + start);
        start += text.size() + 1;
        strings->push_back(text);
    }
    // A last empty string is the list's end, unless it is a deletion's target.
    if (strings->size() % 2 == 1 && strings->back().empty()) strings->pop_back();
    return true;
}

bool WriteQueue(const std::vector<std::wstring>& strings) {
    // Made when missing, as MoveFileEx makes it (Windows always has it).
    const afx::ScopedRegKey key =
        afx::CreateRegKey(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_SET_VALUE);
    LONG result = key ? ERROR_SUCCESS : static_cast<LONG>(GetLastError());
    if (result == ERROR_SUCCESS && strings.empty()) {
        result = RegDeleteValueW(key.Get(), kQueueValue);
    } else if (result == ERROR_SUCCESS) {
        std::wstring data;
        for (const std::wstring& text : strings) data.append(text).push_back(L'\0');
        data.push_back(L'\0');
        result = RegSetValueExW(key.Get(), kQueueValue, 0, REG_MULTI_SZ,
                                reinterpret_cast<const BYTE*>(data.data()),
                                static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    }
    SetLastError(static_cast<DWORD>(result));
    return result == ERROR_SUCCESS;
}

// The canonical path a queued name stands for; empty when it is none a path
// of this program's code page could be.
CString PathOf(std::wstring queued) {
    if (!queued.empty() && queued[0] == kReplaceMark) queued.erase(0, 1);
    if (queued.compare(0, std::wcslen(kNtUncPrefix), kNtUncPrefix) == 0) {
        queued = kUncStart + queued.substr(std::wcslen(kNtUncPrefix));
    } else if (queued.compare(0, std::wcslen(kNtPrefix), kNtPrefix) == 0) {
        queued.erase(0, std::wcslen(kNtPrefix));
    } else {
        return CString();
    }
    CString path;
    CString canonical;
    if (!afx::FromWide(queued.c_str(), CP_ACP, &path) || !CanonicalPath(path, &canonical)) {
        return CString();
    }
    return canonical;
}

std::vector<CString> ReadRemembered() {
    std::vector<CString> paths;
    CString text;
    if (!ReadPluginValue(HKEY_LOCAL_MACHINE, kQueuedDeletionsValue, &text)) return paths;
    for (const std::string& line : SplitLines(text.str())) {
        CString path;
        CString canonical;
        if (UnescapeField(line, &path) && CanonicalPath(path, &canonical))
            paths.push_back(canonical);
    }
    return paths;
}

void WriteRemembered(const std::vector<CString>& paths) {
    if (paths.empty()) {
        DeletePluginValue(HKEY_LOCAL_MACHINE, kQueuedDeletionsValue);
        DeletePluginKeyWhenEmpty(HKEY_LOCAL_MACHINE);
        return;
    }
    std::string text;
    for (const CString& path : paths) AppendLine(text, {EscapeField(path)});
    WritePluginValue(HKEY_LOCAL_MACHINE, kQueuedDeletionsValue, CString(text));
}

// The plug-in has queued the deletion of `path`: remembered as its own.
void RememberQueuedDeletion(const CString& path) {
    std::vector<CString> paths = ReadRemembered();
    CString canonical;
    if (!CanonicalPath(path, &canonical) ||
        std::find(paths.begin(), paths.end(), canonical) != paths.end()) {
        return;
    }
    paths.push_back(canonical);
    WriteRemembered(paths);
}

// The queue's name of a path, as MoveFileEx names it.
std::wstring NtPathOf(const CString& path) {
    const std::wstring wide = afx::ToWide(path, CP_ACP);
    if (wide.compare(0, std::wcslen(kUncStart), kUncStart) == 0) {
        return kNtUncPrefix + wide.substr(std::wcslen(kUncStart));
    }
    return kNtPrefix + wide;
}

}  // namespace

RestartQueue::RestartQueue() : m_ownDeletions(ReadRemembered()) {
    // A queue that cannot be read holds nothing this program can tell, nor
    // take out.
    std::vector<std::wstring> strings;
    ReadQueue(&strings);
    for (size_t i = 0; i + 1 < strings.size(); i += 2) {
        m_operations.push_back(
            {{strings[i], PathOf(strings[i])}, {strings[i + 1], PathOf(strings[i + 1])}});
    }
}

bool RestartQueue::IsOwnDeletion(const Operation& operation) const {
    return operation.to.queued.empty() && !operation.from.path.IsEmpty() &&
           std::find(m_ownDeletions.begin(), m_ownDeletions.end(), operation.from.path) !=
               m_ownDeletions.end();
}

QueuedForRestart RestartQueue::For(const CString& path) const {
    CString canonical;
    if (!CanonicalPath(path, &canonical)) return QueuedForRestart::Nothing;
    QueuedForRestart found = QueuedForRestart::Nothing;
    for (const Operation& operation : m_operations) {
        if (operation.from.path != canonical && operation.to.path != canonical) continue;
        // Anything else queued for the path outweighs an own deletion.
        if (!IsOwnDeletion(operation)) return QueuedForRestart::Other;
        found = QueuedForRestart::OwnDeletion;
    }
    return found;
}

bool RestartQueue::HoldsOwnDeletionOf(const CString& canonical) const {
    return std::any_of(m_operations.begin(), m_operations.end(), [&](const Operation& o) {
        return o.from.path == canonical && IsOwnDeletion(o);
    });
}

CString RestartQueue::FirstOtherFor(
    const std::function<bool(const CString& path)>& wouldWrite) const {
    for (const Operation& operation : m_operations) {
        if (IsOwnDeletion(operation)) continue;
        for (const Entry* entry : {&operation.from, &operation.to}) {
            if (!entry->path.IsEmpty() && wouldWrite(entry->path)) return entry->path;
        }
    }
    return CString();
}

bool RestartQueue::TakeOutOwnDeletion(const CString& path) {
    CString canonical;
    if (!CanonicalPath(path, &canonical)) return false;
    // The rest of the queue is written back exactly as it was.
    std::vector<Operation> rest;
    std::vector<std::wstring> strings;
    for (const Operation& operation : m_operations) {
        if (operation.from.path == canonical && IsOwnDeletion(operation)) continue;
        rest.push_back(operation);
        strings.push_back(operation.from.queued);
        strings.push_back(operation.to.queued);
    }
    if (!WriteQueue(strings)) return false;
    m_operations = rest;
    return true;
}

bool QueueDeletionAtRestart(const CString& path, const ServedPlaces& places) {
    std::vector<std::wstring> strings;
    if (!ReadQueue(&strings)) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    strings.push_back(NtPathOf(path));
    strings.emplace_back();
    if (!WriteQueue(strings)) return false;
    if (places.PlaceOf(path) != ServedPlaces::Place::None || places.MayHaveCreated(path)) {
        RememberQueuedDeletion(path);
    }
    return true;
}

void ForgetDeletionsNoLongerQueued() {
    const std::vector<CString> remembered = ReadRemembered();
    if (remembered.empty()) return;
    const RestartQueue queue;
    std::vector<CString> still;
    for (const CString& path : remembered) {
        if (queue.HoldsOwnDeletionOf(path)) still.push_back(path);
    }
    if (still.size() != remembered.size()) WriteRemembered(still);
}
