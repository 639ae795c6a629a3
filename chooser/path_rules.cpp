#include "chooser/path_rules.h"

#include <cstring>
#include <vector>

#include "framework/afx_mbcs.h"
#include "framework/afx_string.h"
#include "text/path_text.h"

namespace {

// A drive root: letter, colon, backslash.
constexpr int kDriveRootLength = 3;

// Bytes no folder name may contain.
constexpr char kForbiddenChars[] = "\"*/:<>?\\|";

bool IsEdgeBlank(char c) {
    return c == '\t' || c == ' ' || c == '.';
}

}  // namespace

int IsValidFolderName(const char* text) {
    if (!text || !*text) return 0;
    const char* last = text;
    for (const char* p = text; *p; p += afx::MbsCharLength(p)) {
        last = p;
        // A whole double-byte character passes: its lead byte is >= 0x80, and
        // its trail byte is part of the character even when it equals '\\'.
        if (afx::MbsCharLength(p) == 2) continue;
        if (static_cast<unsigned char>(*p) >= 0x80) continue;
        if (std::strchr(kForbiddenChars, *p)) return 0;
    }
    // A double-byte character at either end is never blank.
    if (afx::MbsCharLength(text) == 1 && IsEdgeBlank(text[0])) return 0;
    if (afx::MbsCharLength(last) == 1 && IsEdgeBlank(*last)) return 0;
    return 1;
}

int CheckFolderPath(const char* path, bool textOnly, FolderFileSystem& fs) {
    if (!path) return kPathInvalid;
    const CString text(path);
    const int length = text.GetLength();
    if (length < kDriveRootLength) return kPathInvalid;
    const char* bytes = text.GetString();
    if (!IsAsciiLetter(bytes[0]) || bytes[1] != ':' || bytes[2] != '\\') return kPathInvalid;
    std::vector<int> levelEnds;
    for (int start = kDriveRootLength; start < length;) {
        const int end = NameEndAt(text, start);
        if (!IsValidFolderName(text.Mid(start, end - start))) return kPathInvalid;
        levelEnds.push_back(end);
        start = end + 1;
        if (start == length) return kPathInvalid;  // a trailing backslash
    }
    if (textOnly) return kPathValid;
    // A root is never made; below the first missing level nothing exists.
    if (!fs.Exists(text.Left(kDriveRootLength))) return kPathCannotCreate;
    for (const int end : levelEnds) {
        const CString level = text.Left(end);
        if (!fs.Exists(level)) return kPathValid;
        // The last level may be a file: the chooser takes it as it is.
        if (end < length && !fs.IsFolder(level)) return kPathCannotCreate;
    }
    return kPathValid;
}

int ConfirmFolderPath(const char* path, FolderFileSystem& fs, FolderPrompts& prompts) {
    const CString shown(path);  // a null path is shown as empty text
    int result = CheckFolderPath(path, true, fs);
    if (result == kPathValid) {
        if (fs.Exists(shown)) return kConfirmAccepted;
        const afx::UiText question = afx::FormatUiText(
            "The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?", {shown});
        if (!prompts.AskYesNo(question)) return kConfirmDeclined;
        result = CheckFolderPath(path, false, fs);
        if (result == kPathValid) return kConfirmAccepted;
    }
    prompts.Warn(
        result == kPathInvalid
            ? InvalidFolderText(shown)
            : afx::FormatUiText("The folder:\n\n%s\n\ncan not be created. Please double check.",
                                {shown}));
    return result;
}

afx::UiText InvalidFolderText(const char* path) {
    return afx::FormatUiText("The folder:\n\n%s\n\nis invalid. Please reenter.",
                             {path ? path : ""});
}
