#include "hosts/mbcs_find.h"

#include <cstring>

#include "framework/afx_mbcs.h"

bool ContainsAtCharBoundary(const char* text, const char* target) {
    if (!target) target = "";
    if (!text) text = "";
    const size_t targetLength = std::strlen(target);
    for (const char* p = text;; ++p) {
        if (std::strncmp(p, target, targetLength) == 0) return true;
        if (!*p) return false;
        // Step over a whole double-byte character (a lead byte at the very
        // end stands alone).
        if (afx::IsLeadByte(static_cast<unsigned char>(*p)) && p[1]) ++p;
    }
}
