// A machine's names for the platform-free rules (text/place_keys.h): each
// alias is another name of a place ("C:\TORVEX~1" a short name of
// "C:\Torvex", "E:\Link" a link to "D:\CAD"), so that a rule that compares
// texts where it should compare places shows.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "text/path_text.h"
#include "text/place_keys.h"

class OtherNames : public PlaceKeys {
public:
    // Each pair: a canonical alias and the canonical place it names.
    explicit OtherNames(std::initializer_list<std::pair<std::string, std::string>> aliases)
        : m_aliases(aliases) {}

    bool KeyOf(const char* path, CString* key) const override {
        if (!CanonicalPath(path, key)) return false;
        for (const auto& [alias, place] : m_aliases) {
            if (IsWithinFolder(*key, CString(alias))) {
                *key = CString(place + key->str().substr(alias.size()));
            }
        }
        return true;
    }

private:
    std::vector<std::pair<std::string, std::string>> m_aliases;
};
