#include "removal/restart_queue.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "entries/plugin_key.h"
#include "framework/afx_registry.h"
#include "framework/afx_unicode.h"
#include "record/record_fields.h"
#include "record/served_places.h"
#include "system/file_identity.h"
#include "text/path_text.h"

const char kRestartMemoryKey[] = "SOFTWARE\\Torvex T-ZozerIded restart";

namespace {

constexpr char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kQueueValue[] = L"PendingFileRenameOperations";
// How the queue names a path: the NT form of a DOS path (a UNC path below
// "UNC"), a target that may replace an existing file marked in front.
constexpr wchar_t kNtPrefix[] = L"\\??\\";
constexpr wchar_t kNtUncPrefix[] = L"\\??\\UNC\\";
constexpr wchar_t kUncStart[] = L"\\\\";
constexpr wchar_t kReplaceMark = L'!';
// A list larger than this is not one Windows or the plug-in keeps.
constexpr DWORD kMaxListBytes = 4 * 1024 * 1024;

// The value of the deletions, named as an earlier version named it; it
// holds them as the queue names them.
std::wstring MemoryValue() {
    return afx::ToWide(kQueuedDeletionsValue, CP_ACP);
}

// The key above the memory, which is not volatile: made so when missing
// (on Windows it never is), or the volatile key made with it would make it
// volatile too.
bool MakeMemoryParent() {
    return afx::CreateRegKey(HKEY_LOCAL_MACHINE, ParentFolder(kRestartMemoryKey),
                             KEY_CREATE_SUB_KEY)
        .IsValid();
}

// The strings of a REG_MULTI_SZ value below HKEY_LOCAL_MACHINE, in order.
// True when there is none; false when it cannot be read, and so must not
// be rewritten.
bool ReadStrings(const char* keyPath, const wchar_t* value, std::vector<std::wstring>* strings) {
    strings->clear();
    DWORD type = 0;
    DWORD size = 0;
    const afx::ScopedRegKey key = afx::OpenRegKey(HKEY_LOCAL_MACHINE, keyPath, KEY_QUERY_VALUE);
    const LONG opened = key ? ERROR_SUCCESS : static_cast<LONG>(GetLastError());
    const LONG found = opened == ERROR_SUCCESS
                           ? RegQueryValueExW(key.Get(), value, nullptr, &type, nullptr, &size)
                           : opened;
    if (found == ERROR_FILE_NOT_FOUND) return true;
    if (found != ERROR_SUCCESS || type != REG_MULTI_SZ || size > kMaxListBytes) return false;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.Get(), value, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS) {
        return false;
    }
    // Strings end at each NUL; the list ends at an empty one, or with the data.
    const size_t end = size / sizeof(wchar_t);
    for (size_t start = 0; start < end;) {
        const std::wstring text(data.data() + start);
        start += text.size() + 1;
        strings->push_back(text);
    }
    return true;
}

// The value's strings replaced, or the value gone when there are none; the
// key made when missing, with `options` (volatile, or not).
bool WriteStrings(const char* keyPath, const wchar_t* value,
                  const std::vector<std::wstring>& strings, DWORD options) {
    const afx::ScopedRegKey key =
        afx::CreateRegKey(HKEY_LOCAL_MACHINE, keyPath, KEY_SET_VALUE, options);
    LONG result = key ? ERROR_SUCCESS : static_cast<LONG>(GetLastError());
    if (result == ERROR_SUCCESS && strings.empty()) {
        result = RegDeleteValueW(key.Get(), value);
        if (result == ERROR_FILE_NOT_FOUND) result = ERROR_SUCCESS;
    } else if (result == ERROR_SUCCESS) {
        std::wstring data;
        for (const std::wstring& text : strings) data.append(text).push_back(L'\0');
        data.push_back(L'\0');
        result = RegSetValueExW(key.Get(), value, 0, REG_MULTI_SZ,
                                reinterpret_cast<const BYTE*>(data.data()),
                                static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    }
    SetLastError(static_cast<DWORD>(result));
    return result == ERROR_SUCCESS;
}

// The queue's strings: the source and target of each operation.
bool ReadQueue(std::vector<std::wstring>* strings) {
    if (!ReadStrings(kSessionManagerKey, kQueueValue, strings)) return false;
    // A last empty string is the list's end, unless it is a deletion's target.
    if (strings->size() % 2 == 1 && strings->back().empty()) strings->pop_back();
    return true;
}

bool WriteQueue(const std::vector<std::wstring>& strings) {
    // Made when missing, as MoveFileEx makes it (Windows always has it).
    return WriteStrings(kSessionManagerKey, kQueueValue, strings, REG_OPTION_NON_VOLATILE);
}

// The deletions the plug-in remembers, as the queue names them.
std::vector<std::wstring> ReadMemory() {
    std::vector<std::wstring> names;
    ReadStrings(kRestartMemoryKey, MemoryValue().c_str(), &names);
    names.erase(std::remove(names.begin(), names.end(), std::wstring()), names.end());
    return names;
}

// Volatile: Windows drops it at the restart that carries the deletions
// out. Empty, the key goes.
bool WriteMemory(const std::vector<std::wstring>& names) {
    if (!MakeMemoryParent() ||
        !WriteStrings(kRestartMemoryKey, MemoryValue().c_str(), names, REG_OPTION_VOLATILE)) {
        return false;
    }
    if (names.empty()) RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRestartMemoryKey);
    return true;
}

// The path a queued name stands for, normal; empty when it is none a path
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
    CString normal;
    if (!afx::FromWide(queued.c_str(), CP_ACP, &path) || !NormalizePath(path, &normal)) {
        return CString();
    }
    return normal;
}

// The place a path names; empty when none.
CString KeyOf(const CString& path) {
    CString key;
    return !path.IsEmpty() && FileSystemPlaceKeys().KeyOf(path, &key) ? key : CString();
}

// The queue's name of a path, as MoveFileEx names it.
std::wstring NtPathOf(const CString& path) {
    const std::wstring wide = afx::ToWide(path, CP_ACP);
    if (wide.compare(0, std::wcslen(kUncStart), kUncStart) == 0) {
        return kNtUncPrefix + wide.substr(std::wcslen(kUncStart));
    }
    return kNtPrefix + wide;
}

// The plug-in has queued the deletion of `path`: remembered as its own.
void RememberQueuedDeletion(const CString& path) {
    std::vector<std::wstring> names = ReadMemory();
    const CString key = KeyOf(path);
    if (key.IsEmpty() || std::any_of(names.begin(), names.end(), [&](const std::wstring& name) {
            return KeyOf(PathOf(name)) == key;
        })) {
        return;
    }
    names.push_back(NtPathOf(path));
    WriteMemory(names);
}

}  // namespace

RestartQueue::RestartQueue() {
    for (const std::wstring& name : ReadMemory()) {
        const CString key = KeyOf(PathOf(name));
        if (!key.IsEmpty()) m_ownDeletions.push_back(key);
    }
    // A queue that cannot be read holds nothing this program can tell, nor
    // take out.
    std::vector<std::wstring> strings;
    ReadQueue(&strings);
    const auto entry = [](const std::wstring& queued) {
        const CString path = PathOf(queued);
        return Entry{queued, path, KeyOf(path)};
    };
    for (size_t i = 0; i + 1 < strings.size(); i += 2) {
        m_operations.push_back({entry(strings[i]), entry(strings[i + 1])});
    }
}

bool RestartQueue::IsOwnDeletion(const Operation& operation) const {
    return operation.to.queued.empty() && !operation.from.key.IsEmpty() &&
           std::find(m_ownDeletions.begin(), m_ownDeletions.end(), operation.from.key) !=
               m_ownDeletions.end();
}

bool RestartQueue::HoldsOwnDeletionOf(const CString& path) const {
    const CString key = KeyOf(path);
    return !key.IsEmpty() &&
           std::any_of(m_operations.begin(), m_operations.end(),
                       [&](const Operation& o) { return o.from.key == key && IsOwnDeletion(o); });
}

CString RestartQueue::FirstOtherOn(const WrittenPlaces& written) const {
    std::vector<CString> folders;
    std::vector<CString> files;
    for (const CString& folder : written.folders) folders.push_back(KeyOf(folder));
    for (const CString& file : written.files) files.push_back(KeyOf(file));
    const auto touches = [&](const CString& key) {
        return std::any_of(folders.begin(), folders.end(),
                           [&](const CString& folder) {
                               return !folder.IsEmpty() &&
                                      (IsWithinFolder(key, folder) || IsWithinFolder(folder, key));
                           }) ||
               std::any_of(files.begin(), files.end(), [&](const CString& file) {
                   return !file.IsEmpty() && IsWithinFolder(file, key);
               });
    };
    for (const Operation& operation : m_operations) {
        if (IsOwnDeletion(operation)) continue;
        for (const Entry* entry : {&operation.from, &operation.to}) {
            if (!entry->key.IsEmpty() && touches(entry->key)) return entry->path;
        }
    }
    return CString();
}

bool RestartQueue::TakeOutOwnDeletion(const CString& path) {
    const CString key = KeyOf(path);
    if (key.IsEmpty()) return false;
    // The rest of the queue is written back exactly as it was.
    std::vector<Operation> rest;
    std::vector<std::wstring> strings;
    for (const Operation& operation : m_operations) {
        if (operation.from.key == key && IsOwnDeletion(operation)) continue;
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
    const std::vector<std::wstring> remembered = ReadMemory();
    if (remembered.empty()) return;
    const RestartQueue queue;
    std::vector<std::wstring> still;
    for (const std::wstring& name : remembered) {
        if (queue.HoldsOwnDeletionOf(PathOf(name))) still.push_back(name);
    }
    if (still.size() != remembered.size()) WriteMemory(still);
}

void TakeOverEarlierRestartMemory() {
    CString text;
    if (ReadPluginValue(HKEY_LOCAL_MACHINE, kQueuedDeletionsValue, &text)) {
        std::vector<std::wstring> names = ReadMemory();
        for (const std::string& line : SplitLines(text.str())) {
            CString path;
            CString normal;
            if (UnescapeField(line, &path) && NormalizePath(path, &normal)) {
                names.push_back(NtPathOf(normal));
            }
        }
        // Kept where it was while it cannot be kept where it belongs.
        if (!WriteMemory(names)) return;
        DeletePluginValue(HKEY_LOCAL_MACHINE, kQueuedDeletionsValue);
        DeletePluginKeyWhenEmpty(HKEY_LOCAL_MACHINE);
    }
    ForgetDeletionsNoLongerQueued();
}
