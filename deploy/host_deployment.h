// Putting the fonts and host modules into the folders of the host
// installations. Silent: nothing is reported.
#pragma once

#include "framework/afx_string.h"
#include "hosts/host_registry.h"

// Every host folder of every selected release, in release and list order.
void DeployToHosts(const HostInstallRegistry& registry, bool use2023, bool use2024, bool use2025,
                   bool use2026);
void DeployToHosts(const CString& setupFolder, const HostInstallRegistry& registry, bool use2023,
                   bool use2024, bool use2025, bool use2026);

// The shape fonts into its "Fonts" folder (when there is one), the PDF
// library and the host modules the package holds into the folder itself.
void DeployToHostFolder(const CString& hostFolder);
void DeployToHostFolder(const CString& setupFolder, const CString& hostFolder);
