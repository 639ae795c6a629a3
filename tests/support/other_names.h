// The machine's names for the platform-free rules (text/place_keys.h): each
// alias (canonical) is another name of a place, its short name or a link.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "text/path_text.h"
#include "text/place_keys.h"

class OtherNames : public PlaceKeys {
public:
    using Alias = std::pair<std::string, std::string>;  // alias, place
    explicit OtherNames(std::initializer_list<Alias> aliases) : m_aliases(aliases) {}
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
    std::vector<Alias> m_aliases;
};
