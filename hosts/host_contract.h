// The names of the host's own things that the program relies on: where a
// host says where it is installed, where it loads add-ons from, and where
// its fonts are. Discovery reads them, deployment and registration write
// below them, the uninstaller removes what was written. Platform-free.
#pragma once

// Below a host's per-user profile key: the add-ons the host loads at start.
constexpr char kApplicationsKey[] = "Applications";

// Below a host folder: the fonts the host finds by name. Never created.
constexpr char kHostFontsFolder[] = "Fonts";
