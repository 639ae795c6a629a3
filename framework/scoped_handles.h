// Scoped owners of Win32 handles: each closes its handle exactly once, on
// every path. Non-copyable, movable.
#pragma once

#include <windows.h>

#include <cstring>
#include <utility>

#include "framework/afx_unicode.h"

namespace afx {

template <typename Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : m_handle(handle) {}
    ~ScopedHandle() { Reset(); }

    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    bool IsValid() const { return Traits::IsValid(m_handle); }
    explicit operator bool() const { return IsValid(); }
    Handle Get() const { return m_handle; }

    // For functions that return a handle through a pointer; closes any held one.
    Handle* Receive() {
        Reset();
        return &m_handle;
    }
    Handle Release() { return std::exchange(m_handle, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid()) {
        if (Traits::IsValid(m_handle)) Traits::Close(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};

struct KernelHandleTraits {  // snapshots, processes, files
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { FindClose(h); }
};

using ScopedRegKey = ScopedHandle<RegKeyTraits>;
using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;

// The one way keys are opened: an owned key, or an empty one when the call
// fails (whatever the call left in its output then is not a handle). A null
// or empty name opens the parent itself once more.
// `options` may ask for a link key itself (REG_OPTION_OPEN_LINK) rather
// than the key it leads to.
inline ScopedRegKey OpenRegKey(HKEY parent, const char* name, REGSAM access = MAXIMUM_ALLOWED,
                               DWORD options = 0) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name, options, access, &key) != ERROR_SUCCESS) return ScopedRegKey();
    return ScopedRegKey(key);
}

// The same, creating the key and any missing parents first.
inline ScopedRegKey CreateRegKey(HKEY parent, const char* name, REGSAM access = MAXIMUM_ALLOWED) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return ScopedRegKey();
    }
    return ScopedRegKey(key);
}

// The one way values are written; false when the call fails. A text's size
// counts its terminating NUL: the text is written whole.
inline bool SetRegDword(HKEY key, const char* name, DWORD data) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}
inline bool SetRegText(HKEY key, const char* name, const char* text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text)) + 1) == ERROR_SUCCESS;
}
// A program text (GBK) stored as Unicode, so that the system shows it right
// whatever its code page.
inline bool SetRegProgramText(HKEY key, const wchar_t* name, const char* gbk) {
    const std::wstring wide = ToWide(gbk, kProgramCodePage);
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// True when the key, opened with REG_OPTION_OPEN_LINK, is a link to another
// key: such a key is never followed nor written through.
inline bool IsRegLink(HKEY key) {
    DWORD type = REG_NONE;
    return RegQueryValueExA(key, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
               ERROR_SUCCESS &&
           type == REG_LINK;
}

}  // namespace afx
