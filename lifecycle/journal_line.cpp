#include "lifecycle/journal_line.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "lifecycle/record_fields.h"

namespace {

// What each kind of line holds after its tag.
enum class Fields { None, Path, PathAside, PathSize };
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
    {"remove-file", Fields::PathSize},
    {"remove-folder", Fields::Path},
};

bool ParseSize(const std::string& text, unsigned long long* size) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *size = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

size_t FieldCount(Fields fields) {
    switch (fields) {
        case Fields::None:
            return 1;
        case Fields::Path:
            return 2;
        case Fields::PathAside:
        case Fields::PathSize:
            break;
    }
    return 3;
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
        case Fields::PathSize:
            AppendLine(out, {form.tag, EscapeField(line.path), std::to_string(line.size)});
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
        if (f.size() != FieldCount(form->fields) ||
            (form->fields != Fields::None && !UnescapeField(f[1], &parsed.path)) ||
            (form->fields == Fields::PathAside && !UnescapeField(f[2], &parsed.aside)) ||
            (form->fields == Fields::PathSize && !ParseSize(f[2], &parsed.size))) {
            return false;
        }
        lines->push_back(parsed);
    }
}
