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
    }
    return false;
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
         (ParseNumberField(f[3], &attributes) && attributes <= kNoAttributes));
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
