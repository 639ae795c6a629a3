// The plug-in's own names on the machine, shared by the setup, the
// uninstaller and the per-user parts. Program texts (GBK).
#pragma once

// The caption of the program's own message boxes.
constexpr char kSetupBoxCaption[] = "T-软件安装";

// What Programs and Features calls the plug-in, and who publishes it.
constexpr char kProductDisplayName[] = "T-批打印软件";
constexpr char kProductPublisher[] = "Torvex";

// The plug-in's entry in Programs and Features, below HKEY_LOCAL_MACHINE; its
// last name is what deployment tools (winget) call the product code.
constexpr char kUninstallEntryKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvex T-ZozerIded";

// The installation folder's name, in the folder the user chose.
constexpr char kInstallFolderName[] = "T-ZozerIded";

// The settings folder in each user's application-data folder.
constexpr char kSettingsSubfolder[] = "Torvex";

// The uninstaller, a copy of the setup program in the installation folder.
constexpr char kUninstallerName[] = "Uninstall.exe";

// The per-user stage, a program of its own beside the uninstaller, which
// serves each user of the machine at logon.
constexpr char kUserStageName[] = "UserSetup.exe";
