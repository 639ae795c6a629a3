#include <windows.h>

#include "entries/saved_entry.h"
#include "framework/afx_unicode.h"
#include "framework/scoped_handles.h"
#include "system/reg_ops.h"

namespace {

// An entry larger than this is none the setup wrote (the record's copy is
// read up to 4 MiB); it is not saved, and so not changed.
constexpr DWORD kMaxSavedBytes = 4 * 1024 * 1024 + 1024;

std::string BytesOf(const wchar_t* text, DWORD characters) {
    return std::string(reinterpret_cast<const char*>(text), characters * sizeof(wchar_t));
}

std::wstring WideOf(const std::string& bytes) {
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                        bytes.size() / sizeof(wchar_t));
}

LONG OpenEntryKey(const EntryPlace& place, REGSAM access, afx::ScopedRegKey* key) {
    if (place.root == EntryRoot::RunningAccount) {
        return OpenKeyNotThroughLinks(HKEY_CURRENT_USER, place.key, access, key);
    }
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, place.key, 0, access, key->Receive());
}

LONG CreateEntryKey(const EntryPlace& place, afx::ScopedRegKey* key) {
    if (place.root == EntryRoot::RunningAccount) {
        return CreateKeyNotThroughLinks(HKEY_CURRENT_USER, place.key, KEY_WRITE, key);
    }
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, place.key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_WRITE, nullptr, key->Receive(), nullptr);
}

LONG DeleteEntryKey(const EntryPlace& place) {
    if (place.root == EntryRoot::RunningAccount) {
        return DeleteKeyNotThroughLinks(HKEY_CURRENT_USER, place.key);
    }
    return RegDeleteTreeA(HKEY_LOCAL_MACHINE, place.key);
}

bool IsGone(LONG result) {
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool Failed(LONG result) {
    SetLastError(static_cast<DWORD>(result));
    return false;
}

// Every value of the key, in the registry's order.
LONG ReadValues(HKEY key, std::vector<SavedValue>* values) {
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD largestData = 0;
    LONG result = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   &count, &longestName, &largestData, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return result;
    if (largestData > kMaxSavedBytes) return ERROR_INVALID_DATA;
    std::wstring name(longestName + 1, L'\0');
    std::string data(largestData, '\0');
    for (DWORD i = 0; i < count; ++i) {
        DWORD nameLength = longestName + 1;
        DWORD size = largestData;
        SavedValue value;
        result = RegEnumValueW(key, i, &name[0], &nameLength, nullptr, &value.type,
                               reinterpret_cast<BYTE*>(&data[0]), &size);
        if (result != ERROR_SUCCESS) return result;
        value.name = BytesOf(name.c_str(), nameLength);
        value.data = data.substr(0, size);
        values->push_back(value);
    }
    return ERROR_SUCCESS;
}

// The one value, when it is there.
LONG ReadValue(HKEY key, const char* name, std::vector<SavedValue>* values) {
    const std::wstring wide = afx::ToWide(name, CP_ACP);
    SavedValue value;
    DWORD size = 0;
    LONG result = RegQueryValueExW(key, wide.c_str(), nullptr, &value.type, nullptr, &size);
    if (result != ERROR_SUCCESS) return result;
    if (size > kMaxSavedBytes) return ERROR_INVALID_DATA;
    value.data.assign(size, '\0');
    result = RegQueryValueExW(key, wide.c_str(), nullptr, &value.type,
                              reinterpret_cast<BYTE*>(&value.data[0]), &size);
    if (result != ERROR_SUCCESS) return result;
    value.data.resize(size);
    value.name = BytesOf(wide.c_str(), static_cast<DWORD>(wide.size()));
    values->push_back(value);
    return ERROR_SUCCESS;
}

LONG SetValue(HKEY key, const std::wstring& name, const SavedValue& value) {
    return RegSetValueExW(key, name.c_str(), 0, value.type,
                          reinterpret_cast<const BYTE*>(value.data.data()),
                          static_cast<DWORD>(value.data.size()));
}

// The one value back, or away.
bool PutBackValue(const EntryPlace& place, const SavedEntry& saved) {
    afx::ScopedRegKey key;
    if (!saved.existed || saved.values.empty()) {
        const LONG opened = OpenEntryKey(place, KEY_SET_VALUE, &key);
        if (opened == ERROR_FILE_NOT_FOUND) return true;
        const LONG deleted =
            opened == ERROR_SUCCESS
                ? RegDeleteValueW(key.Get(), afx::ToWide(place.value, CP_ACP).c_str())
                : opened;
        return IsGone(deleted) || Failed(deleted);
    }
    LONG result = CreateEntryKey(place, &key);
    // Named as the place names it, whatever the line says.
    if (result == ERROR_SUCCESS) {
        result = SetValue(key.Get(), afx::ToWide(place.value, CP_ACP), saved.values[0]);
    }
    return result == ERROR_SUCCESS || Failed(result);
}

}  // namespace

bool SaveEntry(const EntryPlace& place, SavedEntry* saved) {
    *saved = SavedEntry();
    afx::ScopedRegKey key;
    LONG result = OpenEntryKey(place, KEY_READ, &key);
    if (result == ERROR_FILE_NOT_FOUND) return true;
    if (result == ERROR_SUCCESS) {
        result = place.value ? ReadValue(key.Get(), place.value, &saved->values)
                             : ReadValues(key.Get(), &saved->values);
    }
    if (place.value && result == ERROR_FILE_NOT_FOUND) return true;
    saved->existed = result == ERROR_SUCCESS;
    return saved->existed || Failed(result);
}

bool PutBackEntry(const EntryPlace& place, const SavedEntry& saved) {
    if (place.value) return PutBackValue(place, saved);
    // The key as a whole: what the run wrote into it goes with it.
    LONG result = DeleteEntryKey(place);
    if (!IsGone(result)) return Failed(result);
    if (!saved.existed) return true;
    afx::ScopedRegKey key;
    result = CreateEntryKey(place, &key);
    for (const SavedValue& value : saved.values) {
        if (result == ERROR_SUCCESS) result = SetValue(key.Get(), WideOf(value.name), value);
    }
    return result == ERROR_SUCCESS || Failed(result);
}
