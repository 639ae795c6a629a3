// The folder chooser's path rules: which typed texts are valid folder paths
// and how missing folders are created. Platform-free: the file system and
// the questions to the user come in through two small interfaces.
#pragma once

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"

// The two file-system operations the rules need.
class FolderFileSystem {
public:
    // True when the path names an existing folder or file.
    virtual bool Exists(const char* path) = 0;
    // Creates one folder; an existing folder or a failure is not reported.
    virtual void CreateFolder(const char* path) = 0;

protected:
    ~FolderFileSystem() = default;
};

// The chooser's boxes. Texts are formatted by the rules; the implementation
// only shows them (question: Yes/No; warning: OK) and returns the answer.
class FolderPrompts {
public:
    virtual bool AskYesNo(const afx::UiText& text) = 0;  // true for Yes
    virtual void Warn(const afx::UiText& text) = 0;

protected:
    ~FolderPrompts() = default;
};

enum PathCheck { kPathValid = 0, kPathInvalid = 1, kPathCannotCreate = 2 };
enum PathConfirm { kConfirmAccepted = 0, kConfirmDeclined = -1 };

// 1 when one path component is acceptable, else 0.
int IsValidFolderName(const char* text);

// 0 valid (and, when creating, every folder exists), 1 invalid, 2 a folder
// cannot be created.
int CheckOrCreatePath(const char* path, bool checkOnly, FolderFileSystem& fs);

// The warning that a folder text (a system text) is no valid folder path.
afx::UiText InvalidFolderText(const char* path);

// 0 accept, -1 the user declined creation, 1 invalid, 2 cannot be created;
// asks before creating and warns on 1 and 2.
int ConfirmFolderPath(const char* path, FolderFileSystem& fs, FolderPrompts& prompts);
