// Prints the Programs and Features entry's names and version as the setup
// writes them (entries/uninstall_entry.cpp), one "name=value" a line, in
// GBK: what the winget manifest's Apps and Features entry must match.
#include <cstdio>
#include <cstring>

#include "run/product.h"
#include "run/product_version.h"

int main() {
    std::printf("DisplayName=%s\nPublisher=%s\nDisplayVersion=%s\nProductCode=%s\n",
                kProductDisplayName, kProductPublisher,
                FormatSetupVersion(kSetupVersion).GetString(),
                std::strrchr(kUninstallEntryKey, '\\') + 1);
    return 0;
}
