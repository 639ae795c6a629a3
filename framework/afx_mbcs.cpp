#include "framework/afx_mbcs.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace afx {

namespace {

constexpr unsigned char kGbkLeadFirst = 0x81;
constexpr unsigned char kGbkLeadLast = 0xFE;
// No double-byte code page uses a byte below this as a lead byte, so plain
// ASCII never needs to ask the system (a call per byte under Wine).
constexpr unsigned char kFirstNonAscii = 0x80;

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

}  // namespace

bool IsLeadByte(unsigned char byte) {
    if (byte < kFirstNonAscii) return false;
#ifdef _WIN32
    return IsDBCSLeadByte(byte) != FALSE;
#else
    return byte >= kGbkLeadFirst && byte <= kGbkLeadLast;
#endif
}

int MbsCharLength(const char* text) {
    return IsLeadByte(static_cast<unsigned char>(text[0])) && text[1] ? 2 : 1;
}

const char* MbsRChr(const char* text, unsigned char c) {
    if (!text) return nullptr;
    const char* last = nullptr;
    for (const char* p = text; *p; p += MbsCharLength(p)) {
        if (MbsCharLength(p) == 1 && static_cast<unsigned char>(*p) == c) last = p;
    }
    return last;
}

bool MbsContains(const char* text, const char* target) {
    if (!target) target = "";
    if (!text) text = "";
    const size_t targetLength = std::strlen(target);
    for (const char* p = text;; p += MbsCharLength(p)) {
        if (std::strncmp(p, target, targetLength) == 0) return true;
        if (!*p) return false;
    }
}

int MbsICmp(const char* a, const char* b) {
    const char* pa = a ? a : "";
    const char* pb = b ? b : "";
    for (;;) {
        if (MbsCharLength(pa) == 2 && MbsCharLength(pb) == 2) {
            // Double-byte characters compare as they are, both bytes.
            const int order = std::memcmp(pa, pb, 2);
            if (order != 0) return order < 0 ? -1 : 1;
            pa += 2;
            pb += 2;
            continue;
        }
        const unsigned char fa = FoldAscii(static_cast<unsigned char>(*pa));
        const unsigned char fb = FoldAscii(static_cast<unsigned char>(*pb));
        if (fa != fb) return fa < fb ? -1 : 1;
        if (fa == 0) return 0;
        ++pa;
        ++pb;
    }
}

std::string MbsFoldCase(const char* text) {
    std::string folded;
    for (const char* p = text ? text : ""; *p; p += MbsCharLength(p)) {
        if (MbsCharLength(p) == 2) {
            folded.append(p, 2);
        } else {
            folded += static_cast<char>(FoldAscii(static_cast<unsigned char>(*p)));
        }
    }
    return folded;
}

}  // namespace afx
