// The manifest the running program carries, when its build was sealed
// (deploy/package_manifest.h).
#pragma once

#include "deploy/package_manifest.h"

enum class Seal {
    None,     // a build without a manifest: it installs what its package holds
    Sealed,   // `manifest` is what it installs
    Damaged,  // a manifest that does not read whole: nothing may be installed
};

Seal ReadOwnPackageManifest(PackageManifest* manifest);
