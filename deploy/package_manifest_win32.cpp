#include "deploy/package_manifest_win32.h"

#include <windows.h>

#include <string>

#include "resources/resource.h"

Seal ReadOwnPackageManifest(PackageManifest* manifest) {
    *manifest = PackageManifest();
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_PACKAGE_MANIFEST), RT_RCDATA);
    if (!found) return Seal::None;
    const HGLOBAL loaded = LoadResource(nullptr, found);
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes) return Seal::Damaged;
    const std::string text(bytes, SizeofResource(nullptr, found));
    return ParsePackageManifest(text, manifest) ? Seal::Sealed : Seal::Damaged;
}
