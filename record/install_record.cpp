#include "record/install_record.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "record/record_fields.h"

const char kInstallRecordName[] = "InstallRecord.txt";
const char kKeptFilesFolder[] = "Kept";
const char kSettingsCopyFolder[] = "UserSettings";

namespace {

constexpr char kHeader[] =
    "# T-批打印软件 安装记录 (install record). 卸载程序只删除这里列为 new 的项目。\r\n";
// The kinds of line a record holds: the tag each begins with and its number
// of fields, the tag included. A file line has its SHA-256 before the path;
// records of earlier versions have none (one field fewer).
enum class LineKind { Version, Folder, Release, CreatedFolder, File, Key, Kept };
struct LineForm {
    const char* tag;
    size_t fields;
    size_t fieldsOfEarlierVersions;
};
constexpr LineForm kLineForms[] = {
    {"version", 2, 2}, {"folder", 2, 2}, {"release", 4, 4}, {"created-folder", 2, 2},
    {"file", 5, 4},    {"key", 3, 3},    {"kept", 3, 3}};

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

// Parses one line into the record; false when it is malformed. Lines of
// kinds a later version may write are passed over.
bool ParseLine(const std::vector<std::string>& f, InstallRecord* record) {
    const auto form = std::find_if(std::begin(kLineForms), std::end(kLineForms),
                                   [&](const LineForm& l) { return f[0] == l.tag; });
    if (form == std::end(kLineForms)) return true;
    if (f.size() != form->fields && f.size() != form->fieldsOfEarlierVersions) return false;
    switch (static_cast<LineKind>(form - std::begin(kLineForms))) {
        case LineKind::Version:
            return UnescapeField(f[1], &record->version);
        case LineKind::Folder:
            return UnescapeField(f[1], &record->installFolder);
        case LineKind::CreatedFolder: {
            CString path;
            if (!UnescapeField(f[1], &path)) return false;
            record->createdFolders.push_back(path);
            return true;
        }
        case LineKind::Release: {
            unsigned long long year = 0;
            InstallRecord::Release release;
            if (!ParseNumberField(f[1], &year) || !UnescapeField(f[2], &release.hostFolder) ||
                !UnescapeField(f[3], &release.hostKey)) {
                return false;
            }
            release.year = static_cast<int>(year);
            record->releases.push_back(release);
            return true;
        }
        case LineKind::File: {
            InstallRecord::File file;
            const bool hashed = f.size() == form->fields;
            if (!OriginOf(f[1], &file.origin) || !ParseNumberField(f[2], &file.size) ||
                (hashed && !ParseSha256Field(f[3], &file.sha256)) ||
                !UnescapeField(f.back(), &file.path)) {
                return false;
            }
            record->files.push_back(file);
            return true;
        }
        case LineKind::Key: {
            InstallRecord::Key key;
            if (!OriginOf(f[1], &key.origin) || !UnescapeField(f[2], &key.path)) return false;
            record->keys.push_back(key);
            return true;
        }
        case LineKind::Kept: {
            InstallRecord::KeptFile kept;
            if (!UnescapeField(f[1], &kept.path) || !UnescapeField(f[2], &kept.keptAs))
                return false;
            record->keptFiles.push_back(kept);
            return true;
        }
    }
    return false;
}

}  // namespace

CString FormatInstallRecord(const InstallRecord& record) {
    std::string out(kHeader);
    AppendLine(out, {Tag(LineKind::Version), EscapeField(record.version)});
    AppendLine(out, {Tag(LineKind::Folder), EscapeField(record.installFolder)});
    for (const InstallRecord::Release& r : record.releases) {
        AppendLine(out, {Tag(LineKind::Release), std::to_string(r.year), EscapeField(r.hostFolder),
                         EscapeField(r.hostKey)});
    }
    for (const CString& folder : record.createdFolders) {
        AppendLine(out, {Tag(LineKind::CreatedFolder), EscapeField(folder)});
    }
    for (const InstallRecord::File& f : record.files) {
        AppendLine(out, {Tag(LineKind::File), OriginName(f.origin), std::to_string(f.size),
                         f.sha256.str(), EscapeField(f.path)});
    }
    for (const InstallRecord::Key& k : record.keys) {
        AppendLine(out, {Tag(LineKind::Key), OriginName(k.origin), EscapeField(k.path)});
    }
    for (const InstallRecord::KeptFile& k : record.keptFiles) {
        AppendLine(out, {Tag(LineKind::Kept), EscapeField(k.path), EscapeField(k.keptAs)});
    }
    return CString(out);
}

bool ParseInstallRecord(const char* text, InstallRecord* record) {
    *record = InstallRecord();
    for (const std::string& line : SplitLines(text ? text : "")) {
        if (line.empty() || line[0] == '#') continue;
        if (!ParseLine(SplitFields(line), record)) return false;
    }
    return !record->installFolder.IsEmpty();
}
