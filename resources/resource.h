// Resource ids of SetUp.exe: the dialog template, its controls, bitmaps,
// icons and the program it carries. Shared by the resource script and the
// code; plain #defines, since the resource compiler reads this file too.
#pragma once

#define IDD_SETUP 141
#define IDB_LOGO 147
#define IDB_MENU 151
// The same pictures for displays at 150 % and 200 %.
#define IDB_LOGO_150 148
#define IDB_LOGO_200 149
#define IDB_MENU_150 152
#define IDB_MENU_200 153
#define IDI_SETUP 1
#define IDI_SMALL 128
// The per-user stage UserSetup.exe, which the installation writes out.
#define IDR_USER_STAGE 201
// A sealed build's package manifest (cmake/package_manifest.cmake).
#define IDR_PACKAGE_MANIFEST 202

#define IDC_INSTALL_PATH 1000
#define IDC_TITLE 1013
#define IDC_PROGRESS 1014
#define IDC_BROWSE 1015
#define IDC_RELEASE_HEADING 1016
#define IDC_PATH_HEADING 1017
#define IDC_EDITION 1018
#define IDC_MENU_PICTURE 1021
#define IDC_INSTALL 1022
#define IDC_DONE_TEXT 1023
#define IDC_NOTE 1024
#define IDC_NOTE_2023_1 1025
#define IDC_NOTE_2023_2 1026
#define IDC_RELEASE_2023 1039
#define IDC_RELEASE_2024 1040
#define IDC_RELEASE_2025 1041
#define IDC_RELEASE_2026 1042

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The framework's help command.
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

// Posted to itself by the dialog of an unattended /SILENT run.
#define ID_UNATTENDED_INSTALL 0x8001
