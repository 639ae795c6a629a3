// What plug-in registration writes below a host key: the module numbers of
// each release and the key names and loader paths formed from them.
// Platform-free.
#pragma once

#include "framework/afx_string.h"

// The numbers in the module names that a release loads.
struct ModuleNumbers {
    int main;       // "TX_ZozerIded%d.GRX" in the installation folder
    int companion;  // "GCAD%dP.dll" in the host folder
};

// False for a year other than 2023 to 2026.
bool GetModuleNumbers(int release, ModuleNumbers* numbers);

constexpr char kValueLoader[] = "LOADER";
constexpr char kValueLoadCtrls[] = "LOADCTRLS";
constexpr char kValueManaged[] = "MANAGED";

// Data of the DWORD values.
constexpr unsigned long kMainManaged = 0;
constexpr unsigned long kCompanionLoadCtrls = 2;
constexpr unsigned long kCompanionManaged = 1;

// "Applications\TX_ZozerIded%d" and "Applications\Torvex%dDLLP" with the year.
CString MainEntryKeyName(int release);
CString CompanionEntryKeyName(int release);

// "%s\TX_ZozerIded%d.GRX" and "%s\GCAD%dP.dll"; never cut.
CString MainLoaderPath(const CString& installFolder, int mainNumber);
CString CompanionLoaderPath(const CString& hostFolder, int companionNumber);
