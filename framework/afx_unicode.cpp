#include "framework/afx_unicode.h"

namespace afx {

namespace {

constexpr char kUnmappable[] = "?";

bool IsUtf8(UINT codePage) {
    return codePage == CP_UTF8 || (codePage == CP_ACP && GetACP() == CP_UTF8);
}

}  // namespace

UINT CodePageOf(TextOrigin origin) {
    return origin == TextOrigin::Program ? kProgramCodePage : CP_ACP;
}

std::wstring ToWide(const char* text, UINT codePage) {
    if (!text || !*text) return std::wstring();
    const int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);  // the terminator
    return wide;
}

std::wstring ToWide(const UiText& text) {
    std::wstring wide;
    for (const UiText::Piece& piece : text.Pieces()) {
        wide += ToWide(piece.bytes.c_str(), CodePageOf(piece.origin));
    }
    return wide;
}

bool FromWide(const wchar_t* text, UINT codePage, CString* out) {
    *out = CString();
    if (!text || !*text) return true;
    // UTF-8 holds every character and takes neither the flag nor a default.
    const bool utf8 = IsUtf8(codePage);
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* substitute = utf8 ? nullptr : kUnmappable;
    BOOL defaulted = FALSE;
    BOOL* usedSubstitute = utf8 ? nullptr : &defaulted;
    const int length =
        WideCharToMultiByte(codePage, flags, text, -1, nullptr, 0, substitute, usedSubstitute);
    if (length <= 1) return length == 1;
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text, -1, &narrow[0], length, substitute, usedSubstitute);
    narrow.resize(static_cast<size_t>(length) - 1);
    *out = CString(narrow);
    return !defaulted;
}

}  // namespace afx
