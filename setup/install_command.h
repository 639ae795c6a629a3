// State of the install command that lives for the whole run.
#pragma once

// True while the install command still looks for a running host: the
// warning is given at most once per run.
extern bool g_bWarnHostRunning;

// What the install command appends to the folder the user chose.
constexpr char kInstallSubFolder[] = "\\T-ZozerIded";
