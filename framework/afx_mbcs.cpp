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

const char* MbsRChr(const char* text, unsigned char c) {
    if (!text) return nullptr;
    const char* last = nullptr;
    for (const char* p = text; *p;) {
        const auto byte = static_cast<unsigned char>(*p);
        if (IsLeadByte(byte) && p[1]) {
            p += 2;  // a whole double-byte character; its trail byte is not looked at
            continue;
        }
        if (byte == c) last = p;
        ++p;
    }
    return last;
}

bool MbsContains(const char* text, const char* target) {
    if (!target) target = "";
    if (!text) text = "";
    const size_t targetLength = std::strlen(target);
    for (const char* p = text;; ++p) {
        if (std::strncmp(p, target, targetLength) == 0) return true;
        if (!*p) return false;
        // Step over a whole double-byte character (a lead byte at the very
        // end stands alone).
        if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1]) ++p;
    }
}

int MbsICmp(const char* a, const char* b) {
    const auto* pa = reinterpret_cast<const unsigned char*>(a ? a : "");
    const auto* pb = reinterpret_cast<const unsigned char*>(b ? b : "");
    for (;;) {
        const unsigned char ca = *pa;
        const unsigned char cb = *pb;
        if (IsLeadByte(ca) && pa[1] && IsLeadByte(cb) && pb[1]) {
            // Double-byte characters compare as they are, both bytes.
            if (ca != cb) return ca < cb ? -1 : 1;
            if (pa[1] != pb[1]) return pa[1] < pb[1] ? -1 : 1;
            pa += 2;
            pb += 2;
            continue;
        }
        const unsigned char fa = IsLeadByte(ca) ? ca : FoldAscii(ca);
        const unsigned char fb = IsLeadByte(cb) ? cb : FoldAscii(cb);
        if (fa != fb) return fa < fb ? -1 : 1;
        if (fa == 0) return 0;
        ++pa;
        ++pb;
    }
}

std::string MbsFoldCase(const char* text) {
    std::string folded;
    for (const char* p = text ? text : ""; *p;) {
        const auto byte = static_cast<unsigned char>(*p);
        if (IsLeadByte(byte) && p[1]) {
            folded.append(p, 2);
            p += 2;
            continue;
        }
        folded += static_cast<char>(IsLeadByte(byte) ? byte : FoldAscii(byte));
        ++p;
    }
    return folded;
}

}  // namespace afx
