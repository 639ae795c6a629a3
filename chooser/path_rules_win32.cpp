#include "chooser/path_rules_win32.h"

#include <windows.h>

#include "framework/afx_msgbox.h"

bool Win32FolderFileSystem::Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FolderFileSystem::IsFolder(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MessageBoxFolderPrompts::AskYesNo(const afx::UiText& text) {
    return AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void MessageBoxFolderPrompts::Warn(const afx::UiText& text) {
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

int ConfirmFolderPath(const char* path) {
    Win32FolderFileSystem fs;
    MessageBoxFolderPrompts prompts;
    return ConfirmFolderPath(path, fs, prompts);
}
