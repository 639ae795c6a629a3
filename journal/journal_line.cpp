#include "journal/journal_line.h"

#include <algorithm>

#include "journal/line_kinds.h"
#include "record/record_fields.h"

namespace {

constexpr auto kForms = FormsOf(LineKinds{});

constexpr bool ListedInKindOrder() {
    for (std::size_t i = 0; i < kForms.size(); ++i) {
        if (static_cast<std::size_t>(kForms[i].kind) != i) return false;
    }
    return true;
}
static_assert(ListedInKindOrder() &&
                  kForms.size() == static_cast<std::size_t>(JournalLine::Kind::PutBack) + 1,
              "LineKinds lists every kind once, in the order of JournalLine::Kind");

// The fields a line of the form holds, its tag included: the last of some
// forms came in a later build, and a line without it still reads.
// A saved entry's line: its tag, the entry's name, whether it existed, then
// three fields a value.
constexpr size_t kFirstSavedValue = 3;
constexpr size_t kSavedValueFields = 3;

bool HasFieldCount(LineFields fields, size_t count) {
    switch (fields) {
        case LineFields::None:
            return count == 1;
        case LineFields::Path:
            return count == 2;
        case LineFields::PathAsideAttributes:
        case LineFields::PathSizeSha256:
            return count == 3 || count == 4;
        case LineFields::PathAsideSizeSha256:
            return count == 5;
        case LineFields::PathSavedEntry:
            return count >= kFirstSavedValue && (count - kFirstSavedValue) % kSavedValueFields == 0;
    }
    return false;
}

// A machine entry's values before the change: whether it existed, then each
// value's name, type and data.
void AppendSavedEntry(const SavedEntry& saved, std::vector<std::string>* fields) {
    fields->push_back(saved.existed ? "1" : "0");
    for (const SavedValue& value : saved.values) {
        fields->push_back(HexField(value.name));
        fields->push_back(std::to_string(value.type));
        fields->push_back(HexField(value.data));
    }
}

bool ParseSavedEntry(const std::vector<std::string>& f, SavedEntry* saved) {
    const std::string& existed = f[kFirstSavedValue - 1];
    if (existed != "0" && existed != "1") return false;
    saved->existed = existed == "1";
    for (size_t i = kFirstSavedValue; i < f.size(); i += kSavedValueFields) {
        SavedValue value;
        unsigned long long type = 0;
        if (!ParseHexField(f[i], &value.name) || !ParseNumberField(f[i + 1], &type) ||
            type > kNoAttributes || !ParseHexField(f[i + 2], &value.data)) {
            return false;
        }
        value.type = static_cast<unsigned long>(type);
        saved->values.push_back(value);
    }
    return true;
}

bool HoldsAside(LineFields fields) {
    return fields == LineFields::PathAsideAttributes || fields == LineFields::PathAsideSizeSha256;
}

// Where the size is (the SHA-256 after it), when the line holds them.
size_t SizeAt(LineFields fields) {
    return fields == LineFields::PathSizeSha256        ? 2
           : fields == LineFields::PathAsideSizeSha256 ? 3
                                                       : 0;
}

// The fields after the tag, as the form orders them.
bool ParseFields(LineFields form, const std::vector<std::string>& f, JournalLine* line) {
    const size_t sizeAt = SizeAt(form);
    unsigned long long attributes = kNoAttributes;
    const bool parsed =
        HasFieldCount(form, f.size()) &&
        (form == LineFields::None || UnescapeField(f[1], &line->path)) &&
        (!HoldsAside(form) || UnescapeField(f[2], &line->aside)) &&
        (!sizeAt || ParseNumberField(f[sizeAt], &line->size)) &&
        (!sizeAt || f.size() <= sizeAt + 1 || ParseSha256Field(f[sizeAt + 1], &line->sha256)) &&
        (form != LineFields::PathAsideAttributes || f.size() < 4 ||
         (ParseNumberField(f[3], &attributes) && attributes <= kNoAttributes)) &&
        (form != LineFields::PathSavedEntry || ParseSavedEntry(f, &line->saved));
    line->attributes = static_cast<unsigned long>(attributes);
    return parsed;
}

}  // namespace

const LineForm& FormOf(JournalLine::Kind kind) {
    return kForms[static_cast<size_t>(kind)];
}

std::string FormatJournalLine(const JournalLine& line) {
    std::string out;
    const LineForm& form = FormOf(line.kind);
    const std::string path = EscapeField(line.path);
    const std::string aside = EscapeField(line.aside);
    switch (form.fields) {
        case LineFields::None:
            AppendLine(out, {form.tag});
            break;
        case LineFields::Path:
            AppendLine(out, {form.tag, path});
            break;
        case LineFields::PathAsideAttributes:
            AppendLine(out, {form.tag, path, aside, std::to_string(line.attributes)});
            break;
        case LineFields::PathSizeSha256:
            AppendLine(out, {form.tag, path, std::to_string(line.size), line.sha256.str()});
            break;
        case LineFields::PathAsideSizeSha256:
            AppendLine(out, {form.tag, path, aside, std::to_string(line.size), line.sha256.str()});
            break;
        case LineFields::PathSavedEntry: {
            std::vector<std::string> fields{form.tag, path};
            AppendSavedEntry(line.saved, &fields);
            AppendFields(out, fields);
            break;
        }
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
        const std::vector<std::string> f = SplitFields(line);
        const auto form = std::find_if(kForms.begin(), kForms.end(),
                                       [&](const LineForm& l) { return f[0] == l.tag; });
        if (form == kForms.end()) continue;
        JournalLine parsed{form->kind, CString()};
        if (!ParseFields(form->fields, f, &parsed)) return false;
        lines->push_back(parsed);
    }
}

bool IsCommitted(const std::vector<JournalLine>& lines) {
    return std::any_of(lines.begin(), lines.end(),
                       [](const JournalLine& line) { return line.kind == CommitLine::kForm.kind; });
}
