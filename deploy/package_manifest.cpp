#include "deploy/package_manifest.h"

#include "framework/afx_mbcs.h"
#include "record/record_fields.h"
#include "text/path_text.h"

namespace {

constexpr char kHeaderTag[] = "package-manifest";
constexpr char kFormatVersion[] = "1";
constexpr char kFileTag[] = "file";
constexpr size_t kFileFields = 4;  // the tag, the name, the size, the SHA-256

// A name inside the Data folder: relative, no "." or ".." step, no empty
// step, nothing a path would read otherwise (a drive, a stream).
bool IsInsideName(const CString& name) {
    CString normal;
    return !name.IsEmpty() && name.str().find_first_of(":/") == std::string::npos &&
           name.str()[0] != '\\' && NormalizePath(JoinPath("C:\\Data", name), &normal) &&
           normal == JoinPath("C:\\Data", name);
}

}  // namespace

const PackageManifest::File* PackageManifest::Find(const char* name) const {
    for (const File& file : files) {
        if (afx::MbsICmp(file.name, name) == 0) return &file;
    }
    return nullptr;
}

bool ParsePackageManifest(const std::string& text, PackageManifest* manifest) {
    *manifest = PackageManifest();
    const std::vector<std::string> lines = SplitLines(text);
    if (lines.empty()) return false;
    const std::vector<std::string> header = SplitFields(lines[0]);
    if (header.size() != 2 || header[0] != kHeaderTag || header[1] != kFormatVersion) return false;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        const std::vector<std::string> fields = SplitFields(lines[i]);
        PackageManifest::File file;
        if (fields.size() != kFileFields || fields[0] != kFileTag ||
            !UnescapeField(fields[1], &file.name) || !ParseNumberField(fields[2], &file.size) ||
            !ParseSha256Field(fields[3], &file.sha256) || file.sha256.IsEmpty() ||
            !IsInsideName(file.name) || manifest->Find(file.name)) {
            *manifest = PackageManifest();
            return false;
        }
        manifest->files.push_back(file);
    }
    return !manifest->files.empty();
}
