#include "lifecycle/journal_line.h"

#include <iterator>

#include "lifecycle/record_fields.h"

namespace {

// Indexed like JournalLine::Kind: the tag each line begins with.
constexpr const char* kJournalTags[] = {"folder", "new",    "replace",        "keep",
                                        "key",    "commit", "queued-deletion"};

bool HasAside(JournalLine::Kind kind) {
    return kind == JournalLine::Kind::Replace || kind == JournalLine::Kind::Keep;
}

}  // namespace

std::string FormatJournalLine(const JournalLine& line) {
    std::string out;
    const char* tag = kJournalTags[static_cast<int>(line.kind)];
    if (line.kind == JournalLine::Kind::Commit) {
        AppendLine(out, {tag});
    } else if (HasAside(line.kind)) {
        AppendLine(out, {tag, EscapeField(line.path), EscapeField(line.aside)});
    } else {
        AppendLine(out, {tag, EscapeField(line.path)});
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
        int kind = -1;
        for (int i = 0; i < static_cast<int>(std::size(kJournalTags)); ++i) {
            if (f[0] == kJournalTags[i]) kind = i;
        }
        if (kind < 0) continue;
        JournalLine parsed{static_cast<JournalLine::Kind>(kind), CString(), CString()};
        const bool twoPaths = HasAside(parsed.kind);
        const size_t fields = parsed.kind == JournalLine::Kind::Commit ? 1 : twoPaths ? 3 : 2;
        if (f.size() != fields || (fields > 1 && !UnescapeField(f[1], &parsed.path)) ||
            (twoPaths && !UnescapeField(f[2], &parsed.aside))) {
            return false;
        }
        lines->push_back(parsed);
    }
}
