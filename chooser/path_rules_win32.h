// The path rules over the real file system and the framework's message boxes.
#pragma once

#include "chooser/path_rules.h"

// Existence and kind through the file attributes.
class Win32FolderFileSystem final : public FolderFileSystem {
public:
    bool Exists(const char* path) override;
    bool IsFolder(const char* path) override;
};

// The chooser's boxes, in English, captioned with the application's name and
// owned by the window active at the moment (the browse dialog).
class MessageBoxFolderPrompts final : public FolderPrompts {
public:
    bool AskYesNo(const afx::UiText& text) override;
    void Warn(const afx::UiText& text) override;
};

// ConfirmFolderPath on the real file system with real boxes: 0 accept,
// -1 declined, 1 invalid, 2 cannot be created.
int ConfirmFolderPath(const char* path);
