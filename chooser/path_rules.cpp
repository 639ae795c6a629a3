#include "chooser/path_rules.h"

#include <cstring>

#include "framework/afx_mbcs.h"
#include "framework/afx_string.h"

namespace {

// A drive root: letter, colon, backslash.
constexpr int kDriveRootLength = 3;

// Bytes no folder name may contain.
constexpr char kForbiddenChars[] = "\"*/:<>?\\|";

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsEdgeBlank(char c) {
    return c == '\t' || c == ' ' || c == '.';
}

// Length in bytes of the character at `text`: 2 for a double-byte character
// of the ANSI code page, else 1. A lead byte at the very end is a byte of its
// own. Walking by characters keeps a GBK trail byte (0x5C in 乗 or 誠, 0x7C
// in others) from being read as a backslash or a bar.
int CharLength(const char* text) {
    return afx::IsLeadByte(static_cast<unsigned char>(text[0])) && text[1] ? 2 : 1;
}

// Offset of the backslash that ends the component starting at `start`, or
// the text's length when the component runs to the end.
int ComponentEnd(const CString& text, int start) {
    const char* p = text.GetString() + start;
    while (*p && *p != '\\') p += CharLength(p);
    return static_cast<int>(p - text.GetString());
}

}  // namespace

int IsValidFolderName(const char* text) {
    if (!text || !*text) return 0;
    const char* last = text;
    for (const char* p = text; *p; p += CharLength(p)) {
        last = p;
        // A whole double-byte character passes: its lead byte is >= 0x80, and
        // its trail byte is part of the character even when it equals '\\'.
        if (CharLength(p) == 2) continue;
        if (static_cast<unsigned char>(*p) >= 0x80) continue;
        if (std::strchr(kForbiddenChars, *p)) return 0;
    }
    // A double-byte character at either end is never blank.
    if (CharLength(text) == 1 && IsEdgeBlank(text[0])) return 0;
    if (CharLength(last) == 1 && IsEdgeBlank(*last)) return 0;
    return 1;
}

int CheckOrCreatePath(const char* path, bool checkOnly, FolderFileSystem& fs) {
    if (!path) return kPathInvalid;
    const CString text(path);  // the work text is always a prefix of this copy
    const int length = text.GetLength();
    if (length < kDriveRootLength) return kPathInvalid;
    const char* bytes = text.GetString();
    if (!IsAsciiLetter(bytes[0]) || bytes[1] != ':' || bytes[2] != '\\') return kPathInvalid;

    if (length == kDriveRootLength) {
        if (checkOnly) return kPathValid;
        return fs.Exists(text) ? kPathValid : kPathCannotCreate;  // a root is never created
    }

    for (int start = kDriveRootLength;;) {
        const int end = ComponentEnd(text, start);
        if (!IsValidFolderName(text.Mid(start, end - start))) return kPathInvalid;
        if (!checkOnly) {
            const CString work = text.Left(end);
            fs.CreateFolder(work);  // an existing folder is no error
            if (!fs.Exists(work)) return kPathCannotCreate;
        }
        if (end == length) return kPathValid;
        start = end + 1;
        if (start == length) return kPathInvalid;  // a trailing backslash
    }
}

int ConfirmFolderPath(const char* path, FolderFileSystem& fs, FolderPrompts& prompts) {
    const CString shown(path);  // a null path is shown as empty text
    int result = CheckOrCreatePath(path, true, fs);
    if (result == kPathValid) {
        if (fs.Exists(shown)) return kConfirmAccepted;
        CString question;
        question.Format(
            "The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?",
            shown.GetString());
        if (!prompts.AskYesNo(question)) return kConfirmDeclined;
        result = CheckOrCreatePath(path, false, fs);
        if (result == kPathValid) return kConfirmAccepted;
    }
    CString warning;
    if (result == kPathInvalid) {
        warning = InvalidFolderText(shown);
    } else {
        warning.Format("The folder:\n\n%s\n\ncan not be created. Please double check.",
                       shown.GetString());
    }
    prompts.Warn(warning);
    return result;
}

CString InvalidFolderText(const char* path) {
    CString text;
    text.Format("The folder:\n\n%s\n\nis invalid. Please reenter.", path ? path : "");
    return text;
}
