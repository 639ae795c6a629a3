#include "tests/hosts/duplicate_filter_fuzz.h"

#include <vector>

#include "framework/afx_string.h"
#include "hosts/found_hosts.h"
#include "tests/support/printable.h"
#include "text/path_text.h"

namespace {

// Flag of byte 0: a text left over after the pairs becomes a key without a
// folder, so the lists differ in length.
constexpr uint8_t kUnpairedKey = 0x01;
// More items add nothing but time: the reference model below compares each
// item with every one kept before it.
constexpr size_t kMaxTexts = 129;

// The reference models, written from the rules' description by characters:
// GBK lead bytes 0x81..0xFE take the next byte along, ASCII letters fold.
namespace model {

constexpr unsigned char kLeadFirst = 0x81;
constexpr unsigned char kLeadLast = 0xFE;
// Length marks of the encoded characters.
constexpr char kSingle = '\1';
constexpr char kDouble = '\2';

// A text as its characters, each written as its length and its bytes so
// that equal encodings mean equal character sequences.
std::string Folded(const std::string& text) {
    std::string chars;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= kLeadFirst && byte <= kLeadLast && i + 1 < text.size()) {
            chars += kDouble;
            chars += text.substr(i, 2);
            i += 2;
        } else {
            chars += kSingle;
            chars += (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a')
                                                  : static_cast<char>(byte);
            ++i;
        }
    }
    return chars;
}

struct Item {
    std::string key;
    std::string folder;
};

// An item stays when its key path and its folder both differ from those of
// every item kept before it.
std::vector<Item> Filtered(const std::vector<Item>& items) {
    std::vector<Item> kept;
    std::vector<Item> keptFolded;
    for (const Item& item : items) {
        const Item folded{Folded(item.key), Folded(item.folder)};
        bool duplicate = false;
        for (const Item& earlier : keptFolded) {
            duplicate = duplicate || folded.key == earlier.key || folded.folder == earlier.folder;
        }
        if (duplicate) continue;
        kept.push_back(item);
        keptFolded.push_back(folded);
    }
    return kept;
}

// One real backslash at the end goes; a trail byte 0x5C is no backslash.
std::string WithoutTrailingBackslashChar(const std::string& text) {
    const std::string chars = Folded(text);
    const std::string backslash = {kSingle, '\\'};
    const bool endsInBackslash =
        chars.size() >= backslash.size() &&
        chars.compare(chars.size() - backslash.size(), backslash.size(), backslash) == 0;
    return endsInBackslash ? text.substr(0, text.size() - 1) : text;
}

}  // namespace model

std::string Describe(const std::vector<model::Item>& items, const std::vector<std::string>& extra) {
    std::string out;
    for (const model::Item& item : items) {
        out += "[" + Printable(item.key) + " | " + Printable(item.folder) + "] ";
    }
    for (const std::string& key : extra) out += "[" + Printable(key) + " | -] ";
    return out;
}

std::vector<std::string> SplitAtZero(const uint8_t* data, size_t size) {
    std::vector<std::string> texts(1);
    for (size_t i = 0; i < size && texts.size() <= kMaxTexts; ++i) {
        if (data[i] == 0) {
            texts.emplace_back();
        } else {
            texts.back() += static_cast<char>(data[i]);
        }
    }
    if (texts.size() > kMaxTexts) texts.pop_back();
    return texts;
}

std::string CheckFilter(const std::vector<model::Item>& items,
                        const std::vector<std::string>& extraKeys, int* removed) {
    CStringArray keys;
    CStringArray folders;
    for (const model::Item& item : items) {
        keys.Add(CString(item.key));
        folders.Add(CString(item.folder));
    }
    for (const std::string& key : extraKeys) keys.Add(CString(key));
    RemoveDuplicateInstallations(keys, folders);

    const std::vector<model::Item> want = model::Filtered(items);
    if (removed) *removed = static_cast<int>(items.size() - want.size());
    bool same = keys.GetSize() == static_cast<int>(want.size() + extraKeys.size()) &&
                folders.GetSize() == static_cast<int>(want.size());
    for (size_t i = 0; same && i < want.size(); ++i) {
        const int at = static_cast<int>(i);
        same = keys[at].str() == want[i].key && folders[at].str() == want[i].folder;
    }
    // Keys without a folder are never looked at, nor moved.
    for (size_t i = 0; same && i < extraKeys.size(); ++i) {
        same = keys[static_cast<int>(want.size() + i)].str() == extraKeys[i];
    }
    if (same) return std::string();
    std::vector<model::Item> got;
    for (int i = 0; i < folders.GetSize() && i < keys.GetSize(); ++i) {
        got.push_back({keys[i].str(), folders[i].str()});
    }
    return "RemoveDuplicateInstallations on " + Describe(items, extraKeys) + "gave " +
           Describe(got, {}) + "(" + std::to_string(keys.GetSize()) + " keys), want " +
           Describe(want, extraKeys);
}

}  // namespace

std::string CheckDuplicateFilterInput(const uint8_t* data, size_t size, int* removed) {
    if (removed) *removed = 0;
    if (size == 0) return std::string();
    const std::vector<std::string> texts = SplitAtZero(data + 1, size - 1);
    std::vector<model::Item> items;
    for (size_t i = 0; i + 1 < texts.size(); i += 2) items.push_back({texts[i], texts[i + 1]});
    std::vector<std::string> extraKeys;
    if (texts.size() % 2 == 1 && (data[0] & kUnpairedKey)) extraKeys.push_back(texts.back());

    const std::string failure = CheckFilter(items, extraKeys, removed);
    if (!failure.empty()) return failure;

    for (const std::string& text : texts) {
        CString cut(text);
        StripAnyTrailingBackslash(cut);
        if (cut.str() != model::WithoutTrailingBackslashChar(text)) {
            return "StripAnyTrailingBackslash on [" + Printable(text) + "] gave [" +
                   Printable(cut.str()) + "]";
        }
    }
    return std::string();
}

const FuzzTarget kFuzzTarget = {"duplicate filter", [](const uint8_t* data, size_t size) {
                                    return CheckDuplicateFilterInput(data, size);
                                }};
