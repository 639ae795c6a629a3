#include "journal/journal_line.h"

#include <algorithm>
#include <iterator>

#include "record/record_fields.h"

namespace {

// What each kind of line holds after its tag.
enum class Fields { None, Path, PathAside, PathSizeSha256, PathAsideSizeSha256 };
struct LineForm {
    const char* tag;
    Fields fields;
};
// Indexed like JournalLine::Kind: the one table of the journal's lines.
constexpr LineForm kLineForms[] = {
    {"folder", Fields::Path},
    {"new", Fields::Path},
    {"replace", Fields::PathAside},
    {"keep", Fields::PathAside},
    {"key", Fields::Path},
    {"commit", Fields::None},
    {"queued-deletion", Fields::Path},
    {"remove-file", Fields::PathSizeSha256},
    {"remove-folder", Fields::Path},
    {"remove-key", Fields::Path},
    {"put-back", Fields::PathAsideSizeSha256},
};

// The fields a line of the form holds, its tag included.
bool HasFieldCount(Fields fields, size_t count) {
    switch (fields) {
        case Fields::None:
            return count == 1;
        case Fields::Path:
            return count == 2;
        case Fields::PathAside:
            return count == 3;
        case Fields::PathSizeSha256:
            // A line of the build before the SHA-256 ends with the size.
            return count == 3 || count == 4;
        case Fields::PathAsideSizeSha256:
            return count == 5;
    }
    return false;
}

}  // namespace

std::string FormatJournalLine(const JournalLine& line) {
    std::string out;
    const LineForm& form = kLineForms[static_cast<int>(line.kind)];
    switch (form.fields) {
        case Fields::None:
            AppendLine(out, {form.tag});
            break;
        case Fields::Path:
            AppendLine(out, {form.tag, EscapeField(line.path)});
            break;
        case Fields::PathAside:
            AppendLine(out, {form.tag, EscapeField(line.path), EscapeField(line.aside)});
            break;
        case Fields::PathSizeSha256:
            AppendLine(out, {form.tag, EscapeField(line.path), std::to_string(line.size),
                             line.sha256.str()});
            break;
        case Fields::PathAsideSizeSha256:
            AppendLine(out, {form.tag, EscapeField(line.path), EscapeField(line.aside),
                             std::to_string(line.size), line.sha256.str()});
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
        const auto form = std::find_if(std::begin(kLineForms), std::end(kLineForms),
                                       [&](const LineForm& l) { return f[0] == l.tag; });
        if (form == std::end(kLineForms)) continue;
        JournalLine parsed{static_cast<JournalLine::Kind>(form - std::begin(kLineForms)), CString(),
                           CString()};
        const bool aside =
            form->fields == Fields::PathAside || form->fields == Fields::PathAsideSizeSha256;
        // Where the size and the SHA-256 are, when the line holds them.
        const size_t sizeAt = form->fields == Fields::PathSizeSha256        ? 2
                              : form->fields == Fields::PathAsideSizeSha256 ? 3
                                                                            : 0;
        if (!HasFieldCount(form->fields, f.size()) ||
            (form->fields != Fields::None && !UnescapeField(f[1], &parsed.path)) ||
            (aside && !UnescapeField(f[2], &parsed.aside)) ||
            (sizeAt && !ParseNumberField(f[sizeAt], &parsed.size)) ||
            (sizeAt && f.size() > sizeAt + 1 && !ParseSha256Field(f[sizeAt + 1], &parsed.sha256))) {
            return false;
        }
        lines->push_back(parsed);
    }
}
