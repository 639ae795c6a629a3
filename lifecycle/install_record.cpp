#include "lifecycle/install_record.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string>

#include "framework/afx_mbcs.h"

const char kInstallRecordName[] = "InstallRecord.txt";
const char kKeptFilesFolder[] = "Kept";
const char kSettingsCopyFolder[] = "UserSettings";

namespace {

constexpr char kHeader[] =
    "# T-批打印软件 安装记录 (install record). 卸载程序只删除这里列为 new 的项目。\r\n";
constexpr char kLineEnd[] = "\r\n";
constexpr char kFieldSeparator = '\t';
constexpr char kEscape = '%';
// Bytes that would break a line or a field; registry key names may hold them.
constexpr char kEscapedBytes[] = "%\t\r\n";
constexpr int kHexBase = 16;

// The kinds of line a record holds: the tag each begins with and its number
// of fields, the tag included.
enum class LineKind { Version, Folder, Release, CreatedFolder, File, Key, Kept };
struct LineForm {
    const char* tag;
    size_t fields;
};
constexpr LineForm kLineForms[] = {
    {"version", 2}, {"folder", 2}, {"release", 4}, {"created-folder", 2},
    {"file", 4},    {"key", 3},    {"kept", 3}};

const char* Tag(LineKind kind) {
    return kLineForms[static_cast<int>(kind)].tag;
}

constexpr const char* kOriginNames[] = {"new", "replaced", "settings"};

const char* OriginName(InstallRecord::Origin origin) {
    return kOriginNames[static_cast<int>(origin)];
}

bool OriginOf(const std::string& name, InstallRecord::Origin* origin) {
    for (int i = 0; i < static_cast<int>(std::size(kOriginNames)); ++i) {
        if (name == kOriginNames[i]) {
            *origin = static_cast<InstallRecord::Origin>(i);
            return true;
        }
    }
    return false;
}

std::string Escape(const char* text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char* p = text; *p; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (std::strchr(kEscapedBytes, *p)) {
            out += kEscape;
            out += kHex[byte / kHexBase];
            out += kHex[byte % kHexBase];
        } else {
            out += *p;
        }
    }
    return out;
}

// The value of a hexadecimal digit, or -1.
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Unescape(const std::string& field, CString* text) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != kEscape) {
            out += field[i];
            continue;
        }
        if (i + 2 >= field.size()) return false;
        const int high = HexValue(field[i + 1]);
        const int low = HexValue(field[i + 2]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * kHexBase + low);
        i += 2;
    }
    *text = CString(out);
    return true;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find(kFieldSeparator, start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

bool ParseNumber(const std::string& text, unsigned long long* number) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *number = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

void AppendLine(std::string& out, std::initializer_list<std::string> fields) {
    bool first = true;
    for (const std::string& field : fields) {
        if (!first) out += kFieldSeparator;
        out += field;
        first = false;
    }
    out += kLineEnd;
}

bool SamePath(const CString& a, const CString& b) {
    return afx::MbsICmp(a, b) == 0;
}

// Parses one line into the record; false when it is malformed. Lines of
// kinds a later version may write are passed over.
bool ParseLine(const std::vector<std::string>& f, InstallRecord* record) {
    const auto form = std::find_if(std::begin(kLineForms), std::end(kLineForms),
                                   [&](const LineForm& l) { return f[0] == l.tag; });
    if (form == std::end(kLineForms)) return true;
    if (f.size() != form->fields) return false;
    switch (static_cast<LineKind>(form - std::begin(kLineForms))) {
        case LineKind::Version:
            return Unescape(f[1], &record->version);
        case LineKind::Folder:
            return Unescape(f[1], &record->installFolder);
        case LineKind::CreatedFolder: {
            CString path;
            if (!Unescape(f[1], &path)) return false;
            record->createdFolders.push_back(path);
            return true;
        }
        case LineKind::Release: {
            unsigned long long year = 0;
            InstallRecord::Release release;
            if (!ParseNumber(f[1], &year) || !Unescape(f[2], &release.hostFolder) ||
                !Unescape(f[3], &release.hostKey)) {
                return false;
            }
            release.year = static_cast<int>(year);
            record->releases.push_back(release);
            return true;
        }
        case LineKind::File: {
            InstallRecord::File file;
            if (!OriginOf(f[1], &file.origin) || !ParseNumber(f[2], &file.size) ||
                !Unescape(f[3], &file.path)) {
                return false;
            }
            record->files.push_back(file);
            return true;
        }
        case LineKind::Key: {
            InstallRecord::Key key;
            if (!OriginOf(f[1], &key.origin) || !Unescape(f[2], &key.path)) return false;
            record->keys.push_back(key);
            return true;
        }
        case LineKind::Kept: {
            InstallRecord::KeptFile kept;
            if (!Unescape(f[1], &kept.path) || !Unescape(f[2], &kept.keptAs)) return false;
            record->keptFiles.push_back(kept);
            return true;
        }
    }
    return false;
}

// Items of the earlier record keep their origin; those this installation did
// not touch again are kept as they were.
template <typename Item>
void MergeItems(std::vector<Item>& items, const std::vector<Item>& earlier) {
    for (const Item& old : earlier) {
        const auto same = std::find_if(items.begin(), items.end(), [&](const Item& item) {
            return SamePath(item.path, old.path);
        });
        if (same == items.end()) {
            items.push_back(old);
        } else {
            same->origin = old.origin;
        }
    }
}

constexpr const char* kJournalTags[] = {"folder", "new", "replace", "keep", "key", "commit"};

}  // namespace

std::string FormatJournalLine(const JournalLine& line) {
    std::string out;
    const char* tag = kJournalTags[static_cast<int>(line.kind)];
    if (line.kind == JournalLine::Kind::Commit) {
        AppendLine(out, {tag});
    } else if (line.kind == JournalLine::Kind::Replace || line.kind == JournalLine::Kind::Keep) {
        AppendLine(out, {tag, Escape(line.path), Escape(line.aside)});
    } else {
        AppendLine(out, {tag, Escape(line.path)});
    }
    return out;
}

bool ParseJournal(const char* text, std::vector<JournalLine>* lines) {
    lines->clear();
    const std::string all = text ? text : "";
    size_t start = 0;
    for (;;) {
        const size_t end = all.find('\n', start);
        if (end == std::string::npos) return true;  // nothing, or a torn last line
        std::string line = all.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::vector<std::string> f = Fields(line);
        int kind = -1;
        for (int i = 0; i < static_cast<int>(std::size(kJournalTags)); ++i) {
            if (f[0] == kJournalTags[i]) kind = i;
        }
        if (kind < 0) continue;
        JournalLine parsed{static_cast<JournalLine::Kind>(kind), CString(), CString()};
        const bool twoPaths =
            parsed.kind == JournalLine::Kind::Replace || parsed.kind == JournalLine::Kind::Keep;
        const size_t fields = parsed.kind == JournalLine::Kind::Commit ? 1 : twoPaths ? 3 : 2;
        if (f.size() != fields || (fields > 1 && !Unescape(f[1], &parsed.path)) ||
            (twoPaths && !Unescape(f[2], &parsed.aside))) {
            return false;
        }
        lines->push_back(parsed);
    }
}

void InstallRecord::MergeEarlier(const InstallRecord& earlier) {
    MergeItems(files, earlier.files);
    MergeItems(keys, earlier.keys);
    std::vector<CString> folders = earlier.createdFolders;
    for (const CString& folder : createdFolders) {
        if (std::none_of(folders.begin(), folders.end(),
                         [&](const CString& f) { return SamePath(f, folder); })) {
            folders.push_back(folder);
        }
    }
    createdFolders = folders;
    // A host file kept by the earlier installation is the host's true one:
    // this installation found the earlier one's copy in its place.
    for (const KeptFile& old : earlier.keptFiles) {
        keptFiles.erase(
            std::remove_if(keptFiles.begin(), keptFiles.end(),
                           [&](const KeptFile& k) { return SamePath(k.path, old.path); }),
            keptFiles.end());
        keptFiles.push_back(old);
    }
    for (const Release& old : earlier.releases) {
        const bool known = std::any_of(releases.begin(), releases.end(), [&](const Release& r) {
            return r.year == old.year && SamePath(r.hostKey, old.hostKey);
        });
        if (!known) releases.push_back(old);
    }
}

CString FormatInstallRecord(const InstallRecord& record) {
    std::string out(kHeader);
    AppendLine(out, {Tag(LineKind::Version), Escape(record.version)});
    AppendLine(out, {Tag(LineKind::Folder), Escape(record.installFolder)});
    for (const InstallRecord::Release& r : record.releases) {
        AppendLine(out, {Tag(LineKind::Release), std::to_string(r.year), Escape(r.hostFolder),
                         Escape(r.hostKey)});
    }
    for (const CString& folder : record.createdFolders) {
        AppendLine(out, {Tag(LineKind::CreatedFolder), Escape(folder)});
    }
    for (const InstallRecord::File& f : record.files) {
        AppendLine(out, {Tag(LineKind::File), OriginName(f.origin), std::to_string(f.size),
                         Escape(f.path)});
    }
    for (const InstallRecord::Key& k : record.keys) {
        AppendLine(out, {Tag(LineKind::Key), OriginName(k.origin), Escape(k.path)});
    }
    for (const InstallRecord::KeptFile& k : record.keptFiles) {
        AppendLine(out, {Tag(LineKind::Kept), Escape(k.path), Escape(k.keptAs)});
    }
    return CString(out);
}

bool ParseInstallRecord(const char* text, InstallRecord* record) {
    *record = InstallRecord();
    const std::string all = text ? text : "";
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos) end = all.size();
        std::string line = all.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (!ParseLine(Fields(line), record)) return false;
    }
    return !record->installFolder.IsEmpty();
}
