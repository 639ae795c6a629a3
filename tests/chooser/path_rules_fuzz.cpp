#include "tests/chooser/path_rules_fuzz.h"

#include <algorithm>
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
constexpr int kRefusedShift = 4;       // 2 bits: component whose creation fails, 0 none
constexpr uint8_t kRefusedMask = 0x03;
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

int Create(const std::string& path, FolderFileSystem& fs) {
    if (!HasDrivePrefix(path)) return kPathInvalid;
    if (path.size() == kRootLength) return fs.Exists(path.c_str()) ? kPathValid : kPathCannotCreate;
    size_t start = kRootLength;
    for (const size_t end : ComponentEnds(path)) {
        if (!ValidName(path.substr(start, end - start))) return kPathInvalid;
        const std::string work = path.substr(0, end);
        fs.CreateFolder(work.c_str());
        if (!fs.Exists(work.c_str())) return kPathCannotCreate;
        start = end + 1;
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
    const size_t refused = (setup >> kRefusedShift) & kRefusedMask;
    if (refused && refused <= ends.size()) fs.RefuseCreation(path.substr(0, ends[refused - 1]));
}

// Every folder the rules asked for is a prefix of the path that ends at a
// real backslash or at the end, each deeper than the one before, and itself
// a valid path: the drive and only valid names up to there.
std::string CheckCreations(const std::vector<std::string>& calls, const std::string& path,
                           const std::vector<size_t>& ends) {
    size_t validNames = 0;  // leading components that are valid names
    if (model::HasDrivePrefix(path)) {
        size_t start = kRootLength;
        while (validNames < ends.size() &&
               model::ValidName(path.substr(start, ends[validNames] - start))) {
            start = ends[validNames++] + 1;
        }
    }
    size_t previous = 0;
    for (const std::string& call : calls) {
        if (call.size() > path.size() || path.compare(0, call.size(), call) != 0) {
            return "created a folder that is not a prefix of the path: " + Printable(call);
        }
        const auto at = std::lower_bound(ends.begin(), ends.end(), call.size());
        if (at == ends.end() || *at != call.size()) {
            return "created a folder that cuts a name: " + Printable(call);
        }
        if (call.size() <= previous) return "created folders out of order: " + Printable(call);
        if (static_cast<size_t>(at - ends.begin()) >= validNames) {
            return "created an invalid folder: " + Printable(call);
        }
        previous = call.size();
    }
    return std::string();
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
    const int check = CheckOrCreatePath(text, true, checked);
    failure = Expect(check == model::Check(path), "check-only result", path);
    if (failure.empty())
        failure = Expect(checked.CreateCalls().empty(), "check-only created", path);
    if (!failure.empty()) return failure;

    MemoryFolders created;
    MemoryFolders modelled;
    Furnish(created, setup, path, ends);
    Furnish(modelled, setup, path, ends);
    const int create = CheckOrCreatePath(text, false, created);
    failure = Expect(create == model::Create(path, modelled), "creating result", path);
    if (failure.empty()) failure = CheckCreations(created.CreateCalls(), path, ends);
    if (failure.empty())
        failure = Expect(create != kPathValid || created.Exists(text),
                         "created path missing after success", path);
    if (failure.empty()) {
        failure = Expect(check == kPathValid ? create != kPathInvalid : create != kPathValid,
                         "check and create disagree on validity", path);
    }
    if (!failure.empty()) return failure;

    MemoryFolders confirmed;
    Furnish(confirmed, setup, path, ends);
    ScriptedPrompts prompts((setup & kAnswerYes) != 0);
    const int confirm = ConfirmFolderPath(text, confirmed, prompts);
    const size_t asked = prompts.Questions().size();
    const size_t warned = prompts.Warnings().size();
    const bool nothingMade = confirmed.CreateCalls().empty();
    if (confirm == kConfirmAccepted) {
        const bool answeredYes = asked == 0 || (setup & kAnswerYes);
        failure = Expect(check == kPathValid && asked <= 1 && answeredYes && warned == 0 &&
                             confirmed.Exists(text),
                         "accepted wrongly", path);
    } else if (confirm == kConfirmDeclined) {
        failure = Expect(asked == 1 && warned == 0 && nothingMade && !(setup & kAnswerYes),
                         "declined wrongly", path);
    } else if (confirm == kPathInvalid) {
        failure = Expect(check == kPathInvalid && asked == 0 && warned == 1 && nothingMade,
                         "invalid wrongly", path);
    } else if (confirm == kPathCannotCreate) {
        failure = Expect(check == kPathValid && asked == 1 && (setup & kAnswerYes) && warned == 1,
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
    if (failure.empty()) failure = CheckCreations(confirmed.CreateCalls(), path, ends);
    if (!failure.empty()) return failure;

    CString strip(text);
    StripTrailingBackslash(strip);
    return Expect(strip.str() == model::Stripped(path), "StripTrailingBackslash", path);
}
