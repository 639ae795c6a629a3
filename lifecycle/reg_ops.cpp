#include "lifecycle/reg_ops.h"

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

}  // namespace

LONG OpenKeyNotThroughLinks(HKEY root, const char* path, REGSAM access, afx::ScopedRegKey* key) {
    afx::ScopedRegKey at = afx::OpenRegKey(root, nullptr, KEY_QUERY_VALUE);
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
        const REGSAM wanted = *p ? KEY_QUERY_VALUE : access | KEY_QUERY_VALUE;
        HKEY next = nullptr;
        const LONG result = RegOpenKeyExA(at.Get(), name, REG_OPTION_OPEN_LINK, wanted, &next);
        if (result != ERROR_SUCCESS) return result;
        at.Reset(next);
        if (afx::IsRegLink(at.Get())) return ERROR_CANT_ACCESS_FILE;
        ++levels;
    }
    // No path names the root itself.
    if (levels == 0) return ERROR_INVALID_PARAMETER;
    *key = std::move(at);
    return ERROR_SUCCESS;
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
