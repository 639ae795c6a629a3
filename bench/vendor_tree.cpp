#include "bench/vendor_tree.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/afx_registry.h"

namespace {

constexpr const char* kReleaseCodes[kVendorTreeReleases] = {"R23", "R24", "R25", "R26"};
constexpr const char* kVariants[kVendorTreeVariants] = {"zh-CN", "en-US", "zh-TW"};
// The item of each section that describes an installation.
constexpr int kInstallationItem = 0;
constexpr char kMarkerValueName[] = "Location";
// Every other item carries one value of its own, as real profile keys do,
// so that a full listing has values to read as well.
constexpr char kItemValueName[] = "Version";
constexpr char kItemValue[] = "25.0.0.1";

afx::ScopedRegKey CreateSubKey(HKEY parent, const std::string& name) {
    afx::ScopedRegKey key;
    if (RegCreateKeyExA(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key.Receive(), nullptr) != ERROR_SUCCESS) {
        key.Release();  // whatever the failed call left there is not ours
    }
    return key;
}

bool SetText(HKEY key, const char* name, const std::string& text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

std::string Numbered(const char* prefix, int number) {
    char name[32];
    std::snprintf(name, sizeof(name), "%s%02d", prefix, number);
    return name;
}

bool BuildSection(HKEY section, const std::string& folder) {
    for (int item = 0; item < kVendorTreeItems; ++item) {
        const afx::ScopedRegKey key = CreateSubKey(section, Numbered("Item", item));
        if (!key) return false;
        const bool written = item == kInstallationItem
                                 ? SetText(key.Get(), kMarkerValueName, folder)
                                 : SetText(key.Get(), kItemValueName, kItemValue);
        if (!written) return false;
    }
    return true;
}

bool BuildRelease(HKEY product, int release) {
    const afx::ScopedRegKey releaseKey = CreateSubKey(product, kReleaseCodes[release]);
    if (!releaseKey) return false;
    for (const char* variant : kVariants) {
        const afx::ScopedRegKey variantKey = CreateSubKey(releaseKey.Get(), variant);
        if (!variantKey) return false;
        for (int section = 0; section < kVendorTreeSections; ++section) {
            const std::string name = Numbered("Section", section);
            const afx::ScopedRegKey sectionKey = CreateSubKey(variantKey.Get(), name);
            // A distinct folder per installation, so that none is a duplicate.
            const std::string folder = std::string("C:\\Program Files\\Gstarsoft\\GstarCAD20") +
                                       (kReleaseCodes[release] + 1) + "\\" + variant + "\\" + name +
                                       "\\";
            if (!sectionKey || !BuildSection(sectionKey.Get(), folder)) return false;
        }
    }
    return true;
}

}  // namespace

bool BuildVendorTree() {
    const LSTATUS removed = RegDeleteTreeA(HKEY_CURRENT_USER, kVendorTreeProductPath);
    if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND) return false;
    const afx::ScopedRegKey product = CreateSubKey(HKEY_CURRENT_USER, kVendorTreeProductPath);
    if (!product) return false;
    for (int release = 0; release < kVendorTreeReleases; ++release) {
        if (!BuildRelease(product.Get(), release)) return false;
    }
    return true;
}

bool RemoveVendorTree() {
    const LSTATUS removed = RegDeleteTreeA(HKEY_CURRENT_USER, kVendorKeyPath);
    return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
}
