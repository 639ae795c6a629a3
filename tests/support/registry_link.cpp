#include "tests/support/registry_link.h"

#include <cstring>
#include <vector>

#include "framework/afx_registry.h"

namespace {

template <typename Fn>
Fn NtdllFunction(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

// The key's full NT name (\REGISTRY\...), which a link must name.
std::wstring NtNameOf(HKEY key) {
    constexpr int kKeyNameInformation = 3;
    using QueryKey = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto queryKey = NtdllFunction<QueryKey>("NtQueryKey");
    if (!queryKey) return std::wstring();
    std::vector<unsigned char> buffer(4096);
    ULONG size = 0;
    if (queryKey(key, kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                 &size) != 0) {
        return std::wstring();
    }
    ULONG nameBytes = 0;  // KEY_NAME_INFORMATION: byte length, then the name
    std::memcpy(&nameBytes, buffer.data(), sizeof(nameBytes));
    return std::wstring(reinterpret_cast<const wchar_t*>(buffer.data() + sizeof(nameBytes)),
                        nameBytes / sizeof(wchar_t));
}

}  // namespace

RegistryLink::RegistryLink(HKEY parent, const char* name, HKEY target)
    : m_parent(parent), m_name(name) {
    const std::wstring targetName = NtNameOf(target);
    if (targetName.empty()) return;
    HKEY link = nullptr;
    if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    const afx::ScopedRegKey owned(link);
    m_created = true;
    // The link's target: the NT path, without terminator.
    m_linked =
        RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                       reinterpret_cast<const BYTE*>(targetName.c_str()),
                       static_cast<DWORD>(targetName.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegistryLink::Remove() {
    if (!m_created) return true;
    HKEY link = nullptr;
    if (RegOpenKeyExA(m_parent, m_name.c_str(), REG_OPTION_OPEN_LINK, DELETE, &link) !=
        ERROR_SUCCESS) {
        return false;
    }
    const auto deleteKey = NtdllFunction<LONG(NTAPI*)(HANDLE)>("NtDeleteKey");
    const bool deleted = deleteKey && deleteKey(link) == 0;
    RegCloseKey(link);
    if (deleted) m_created = false;
    return deleted;
}
