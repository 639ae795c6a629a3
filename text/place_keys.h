// Whether two paths name one place is the file system's answer, not their
// texts': a folder is also its short (8.3) name, another case, the target of
// a link above it. The rules that compare paths are platform-free and ask
// through PlaceKeys; on the machine the file system answers
// (system/file_identity.h), in tests a table of names does.
#pragma once

#include <map>
#include <string>

#include "framework/afx_string.h"

class PlaceKeys {
public:
    virtual ~PlaceKeys() = default;
    // The key of the place `path` names, in canonical form (text/path_text.h):
    // every name of one place has one key, so keys compare as paths do
    // (equal, IsWithinFolder, IsDirectlyInFolder). False when the path names
    // no place.
    virtual bool KeyOf(const char* path, CString* key) const = 0;
};

// The keys of many paths, each text asked once: for comparisons of every
// item of one list with every item of another while nothing changes on the
// disk.
class KnownPlaces {
public:
    explicit KnownPlaces(const PlaceKeys& keys) : m_keys(keys) {}

    // Empty when the path names no place.
    const CString& KeyOf(const char* path) const;
    // Both name one place.
    bool Same(const char* a, const char* b) const;

private:
    const PlaceKeys& m_keys;
    mutable std::map<std::string, CString> m_known;
};
