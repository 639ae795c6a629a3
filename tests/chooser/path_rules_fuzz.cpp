#include "tests/chooser/path_rules_fuzz.h"

#include <vector>

#include "chooser/path_rules.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_string.h"
#include "tests/chooser/memory_folders.h"
#include "tests/support/printable.h"
#include "text/path_text.h"

namespace {

// Bits of the set-up byte.
constexpr uint8_t kDriveExists = 0x01;
constexpr int kPreExistingShift = 1;  // 2 bits: leading components that exist
constexpr uint8_t kPreExistingMask = 0x03;
constexpr uint8_t kLastIsFile = 0x08;  // the last existing one is a file
constexpr uint8_t kAnswerYes = 0x40;

constexpr size_t kRootLength = 3;

// The reference model: written from the rules' description, by characters.
namespace model {

struct Char {
    size_t offset;
    size_t length;
};

std::vector<Char> Chars(const std::string& text) {
    std::vector<Char> chars;
    chars.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const bool pair =
            afx::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        chars.push_back(Char{i, pair ? 2u : 1u});
        i += chars.back().length;
    }
    return chars;
}

bool IsSingle(const std::string& text, const Char& c, char byte) {
    return c.length == 1 && text[c.offset] == byte;
}

bool ValidName(const std::string& name) {
    const std::vector<Char> chars = Chars(name);
    if (chars.empty()) return false;
    for (const char blank : {'\t', ' ', '.'}) {
        if (IsSingle(name, chars.front(), blank) || IsSingle(name, chars.back(), blank)) {
            return false;
        }
    }
    for (const Char& c : chars) {
        for (const char reserved : {'"', '*', '/', ':', '<', '>', '?', '\\', '|'}) {
            if (IsSingle(name, c, reserved)) return false;
        }
    }
    return true;
}

bool HasDrivePrefix(const std::string& path) {
    if (path.size() < kRootLength) return false;
    const char letter = path[0];
    const bool ascii = (letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z');
    return ascii && path[1] == ':' && path[2] == '\\';
}

// Ends (offsets in the path) of the components after the drive root; a
// trailing backslash leaves an empty last component.
std::vector<size_t> ComponentEnds(const std::string& path) {
    std::vector<size_t> ends;
    for (const Char& c : Chars(path)) {
        if (c.offset >= kRootLength && IsSingle(path, c, '\\')) ends.push_back(c.offset);
    }
    ends.push_back(path.size());
    return ends;
}

int Check(const std::string& path) {
    if (!HasDrivePrefix(path)) return kPathInvalid;
    if (path.size() == kRootLength) return kPathValid;
    size_t start = kRootLength;
    for (const size_t end : ComponentEnds(path)) {
        if (!ValidName(path.substr(start, end - start))) return kPathInvalid;
        start = end + 1;
    }
    return kPathValid;
}

// Valid text, and every level that exists but the last is a folder, on a
// drive that exists.
int CanBeMade(const std::string& path, FolderFileSystem& fs) {
    const int text = Check(path);
    if (text != kPathValid) return text;
    if (!fs.Exists(path.substr(0, kRootLength).c_str())) return kPathCannotCreate;
    if (path.size() == kRootLength) return kPathValid;
    for (const size_t end : ComponentEnds(path)) {
        const std::string level = path.substr(0, end);
        if (end < path.size() && fs.Exists(level.c_str()) && !fs.IsFolder(level.c_str())) {
            return kPathCannotCreate;
        }
    }
    return kPathValid;
}

std::string Stripped(const std::string& path) {
    const std::vector<Char> chars = Chars(path);
    if (chars.empty() || !IsSingle(path, chars.back(), '\\') || chars.back().offset == 0) {
        return path;
    }
    return path.substr(0, path.size() - 1);
}

}  // namespace model

// The file system the set-up byte describes, fresh for each run.
void Furnish(MemoryFolders& fs, uint8_t setup, const std::string& path,
             const std::vector<size_t>& ends) {
    if (path.empty()) return;
    if (setup & kDriveExists) fs.AddDrive(path[0]);
    const size_t existing = (setup >> kPreExistingShift) & kPreExistingMask;
    for (size_t i = 0; i < existing && i < ends.size(); ++i) {
        const std::string prefix = path.substr(0, ends[i]);
        if (i + 1 == existing && (setup & kLastIsFile)) {
            fs.AddFile(prefix);
        } else {
            fs.AddFolder(prefix);
        }
    }
}

std::string Expect(bool ok, const char* what, const std::string& path) {
    return ok ? std::string() : std::string(what) + " for [" + Printable(path) + "]";
}

}  // namespace

std::string CheckPathRulesInput(const uint8_t* data, size_t size) {
    if (size == 0) return std::string();
    const uint8_t setup = data[0];
    const std::string raw(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string path = raw.substr(0, raw.find('\0'));  // what a C string can hold
    const char* text = path.c_str();
    const std::vector<size_t> ends = model::ComponentEnds(path);
    std::string failure;

    const int name = IsValidFolderName(text);
    failure = Expect(name == (model::ValidName(path) ? 1 : 0), "IsValidFolderName", path);
    if (!failure.empty()) return failure;

    MemoryFolders checked;
    Furnish(checked, setup, path, ends);
    const int check = CheckFolderPath(text, true, checked);
    failure = Expect(check == model::Check(path), "check-only result", path);
    const int made = CheckFolderPath(text, false, checked);
    if (failure.empty()) failure = Expect(made == model::CanBeMade(path, checked), "result", path);
    if (!failure.empty()) return failure;

    MemoryFolders confirmed;
    Furnish(confirmed, setup, path, ends);
    ScriptedPrompts prompts((setup & kAnswerYes) != 0);
    const int confirm = ConfirmFolderPath(text, confirmed, prompts);
    const size_t asked = prompts.Questions().size();
    const size_t warned = prompts.Warnings().size();
    // A question exactly when a valid path is missing.
    const bool missing = !confirmed.Exists(text);
    if (confirm == kConfirmAccepted) {
        // What exists is taken as it is; what is missing must be possible.
        const bool asMissing = asked == 1 && (setup & kAnswerYes) && made == kPathValid;
        failure = Expect(check == kPathValid && warned == 0 && (missing ? asMissing : asked == 0),
                         "accepted wrongly", path);
    } else if (confirm == kConfirmDeclined) {
        failure = Expect(
            check == kPathValid && missing && asked == 1 && warned == 0 && !(setup & kAnswerYes),
            "declined wrongly", path);
    } else if (confirm == kPathInvalid) {
        failure =
            Expect(check == kPathInvalid && asked == 0 && warned == 1, "invalid wrongly", path);
    } else if (confirm == kPathCannotCreate) {
        failure =
            Expect(made == kPathCannotCreate && asked == 1 && (setup & kAnswerYes) && warned == 1,
                   "cannot-create wrongly", path);
    } else {
        failure = Expect(false, "ConfirmFolderPath result out of range", path);
    }
    if (failure.empty() && asked) {
        failure = Expect(prompts.Questions()[0].find("\n\n" + path + "\n\n") != std::string::npos,
                         "question without the path", path);
    }
    if (failure.empty() && warned) {
        failure = Expect(prompts.Warnings()[0].find("\n\n" + path + "\n\n") != std::string::npos,
                         "warning without the path", path);
    }
    if (!failure.empty()) return failure;

    CString strip(text);
    StripTrailingBackslash(strip);
    return Expect(strip.str() == model::Stripped(path), "StripTrailingBackslash", path);
}

const FuzzTarget kFuzzTarget = {"path rules", CheckPathRulesInput};
