// The folder chooser's path rules: which typed texts are valid folder paths
// and whether missing folders could be made there. The chooser makes none:
// the installation makes the missing folders itself, protected from the
// moment they exist, and records them for its uninstaller. Platform-free:
// the file system and the questions to the user come in through two small
// interfaces.
#pragma once

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"

// The two file-system questions the rules ask.
class FolderFileSystem {
public:
    // True when the path names an existing folder or file.
    virtual bool Exists(const char* path) = 0;
    // True when the path names an existing folder.
    virtual bool IsFolder(const char* path) = 0;

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

// 0 valid, 1 invalid, 2 a missing folder could not be made: the drive is
// missing, or a file stands where a folder on the way should be. With
// `textOnly` the text alone is judged (0 or 1).
int CheckFolderPath(const char* path, bool textOnly, FolderFileSystem& fs);

// The warning that a folder text (a system text) is no valid folder path.
afx::UiText InvalidFolderText(const char* path);

// 0 accept, -1 the user declined creation, 1 invalid, 2 cannot be created;
// asks before accepting a missing folder and warns on 1 and 2.
int ConfirmFolderPath(const char* path, FolderFileSystem& fs, FolderPrompts& prompts);
