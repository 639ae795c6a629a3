// The plug-in's own names on the machine, shared by the setup, the
// uninstaller and the per-user parts. Program texts (GBK).
#pragma once

// The caption of the program's own message boxes.
constexpr char kSetupBoxCaption[] = "T-软件安装";

// What Programs and Features calls the plug-in.
constexpr char kProductDisplayName[] = "T-批打印软件";

// What the installation appends to the folder the user chose.
constexpr char kInstallSubFolder[] = "\\T-ZozerIded";

// The settings folder in each user's application-data folder.
constexpr char kSettingsSubfolder[] = "Torvex";

// The uninstaller, a copy of the setup program in the installation folder.
constexpr char kUninstallerName[] = "Uninstall.exe";

// The per-user stage, a program of its own beside the uninstaller, which
// serves each user of the machine at logon.
constexpr char kUserStageName[] = "UserSetup.exe";
