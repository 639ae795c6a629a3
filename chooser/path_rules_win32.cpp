#include "chooser/path_rules_win32.h"

#include <windows.h>

#include "framework/afx_msgbox.h"

bool Win32FolderFileSystem::Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void Win32FolderFileSystem::CreateFolder(const char* path) {
    // The rules test existence right after; an existing folder is no error.
    CreateDirectoryA(path, nullptr);
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
