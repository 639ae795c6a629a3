#include "system/reg_ops.h"

#include <utility>

#include "framework/afx_mbcs.h"
#include "framework/afx_string.h"

namespace {

using NtDeleteKeyFn = LONG(NTAPI*)(HANDLE);
using RtlNtStatusToDosErrorFn = ULONG(NTAPI*)(LONG);

template <typename Fn>
Fn NtdllFunction(const char* name) {
    // ntdll is in every process: looking it up loads nothing.
    const FARPROC proc = GetProcAddress(GetModuleHandleA("ntdll.dll"), name);
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// The registry's answer to the last key call: the key's functions leave it
// in GetLastError().
LONG Answer(const afx::ScopedRegKey& key) {
    return key ? ERROR_SUCCESS : static_cast<LONG>(GetLastError());
}

// One level below `at`, as the key itself, made first when it is missing
// and `create`. Whatever the creation reached (a link planted since the key
// was found missing leads elsewhere), the key used is the one of that name
// itself, checked to be no link.
LONG OpenLevel(HKEY at, const CString& name, REGSAM access, bool create, afx::ScopedRegKey* next) {
    *next = afx::OpenRegKey(at, name, access, REG_OPTION_OPEN_LINK);
    LONG result = Answer(*next);
    if (result == ERROR_FILE_NOT_FOUND && create) {
        result = Answer(afx::CreateRegKey(at, name, access));
        if (result == ERROR_SUCCESS) {
            *next = afx::OpenRegKey(at, name, access, REG_OPTION_OPEN_LINK);
            result = Answer(*next);
        }
    }
    if (result != ERROR_SUCCESS) return result;
    return afx::IsRegLink(next->Get()) ? ERROR_CANT_ACCESS_FILE : ERROR_SUCCESS;
}

LONG WalkNotThroughLinks(HKEY root, const char* path, REGSAM access, bool create,
                         afx::ScopedRegKey* key) {
    // Every level is asked whether it is a link; a level on the way is made
    // below, when it is made at all.
    const REGSAM onTheWay = KEY_QUERY_VALUE | (create ? KEY_CREATE_SUB_KEY : 0);
    afx::ScopedRegKey at = afx::OpenRegKey(root, nullptr, onTheWay);
    if (!at) return ERROR_INVALID_HANDLE;
    int levels = 0;
    const char* p = path;
    while (*p) {
        // One level's name, by whole characters: a trail byte 0x5C is no separator.
        const char* start = p;
        while (*p && *p != '\\') p += afx::MbsCharLength(p);
        const CString name(start, static_cast<int>(p - start));
        if (*p) ++p;
        if (name.IsEmpty()) continue;
        afx::ScopedRegKey next;
        const REGSAM wanted = *p ? onTheWay : access | onTheWay;
        const LONG result = OpenLevel(at.Get(), name, wanted, create, &next);
        if (result != ERROR_SUCCESS) return result;
        at = std::move(next);
        ++levels;
    }
    // No path names the root itself.
    if (levels == 0) return ERROR_INVALID_PARAMETER;
    *key = std::move(at);
    return ERROR_SUCCESS;
}

}  // namespace

LONG OpenKeyNotThroughLinks(HKEY root, const char* path, REGSAM access, afx::ScopedRegKey* key) {
    return WalkNotThroughLinks(root, path, access, false, key);
}

LONG CreateKeyNotThroughLinks(HKEY root, const char* path, REGSAM access, afx::ScopedRegKey* key) {
    return WalkNotThroughLinks(root, path, access, true, key);
}

LONG DeleteKeyNotThroughLinks(HKEY root, const char* path) {
    afx::ScopedRegKey key;
    const LONG opened = OpenKeyNotThroughLinks(root, path, DELETE, &key);
    if (opened != ERROR_SUCCESS) return opened;
    static const auto deleteKey = NtdllFunction<NtDeleteKeyFn>("NtDeleteKey");
    static const auto toError = NtdllFunction<RtlNtStatusToDosErrorFn>("RtlNtStatusToDosError");
    if (!deleteKey || !toError) return ERROR_PROC_NOT_FOUND;
    return static_cast<LONG>(toError(deleteKey(key.Get())));
}
