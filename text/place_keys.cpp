#include "text/place_keys.h"

const CString& KnownPlaces::KeyOf(const char* path) const {
    const auto known = m_known.find(path);
    if (known != m_known.end()) return known->second;
    CString key;
    if (!m_keys.KeyOf(path, &key)) key = CString();
    return m_known.emplace(path, key).first->second;
}

bool KnownPlaces::Same(const char* a, const char* b) const {
    const CString& keyA = KeyOf(a);
    return !keyA.IsEmpty() && keyA == KeyOf(b);
}
