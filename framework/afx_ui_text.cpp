#include "framework/afx_ui_text.h"

namespace afx {

UiText::UiText(const char* programText) {
    Append(TextOrigin::Program, programText ? programText : "");
}

UiText UiText::Program(const CString& text) {
    UiText out;
    out.Append(TextOrigin::Program, text.str());
    return out;
}

UiText UiText::System(const CString& text) {
    UiText out;
    out.Append(TextOrigin::System, text.str());
    return out;
}

UiText& UiText::operator+=(const UiText& other) {
    // Copied first: other may be this text.
    const std::vector<Piece> pieces = other.m_pieces;
    for (const Piece& piece : pieces) Append(piece.origin, piece.bytes);
    return *this;
}

CString UiText::Narrow() const {
    std::string bytes;
    for (const Piece& piece : m_pieces) bytes += piece.bytes;
    return CString(bytes);
}

void UiText::Append(TextOrigin origin, const std::string& bytes) {
    if (bytes.empty()) return;
    if (!m_pieces.empty() && m_pieces.back().origin == origin) {
        m_pieces.back().bytes += bytes;
    } else {
        m_pieces.push_back({origin, bytes});
    }
}

UiArg::UiArg(const char* systemText) : m_text(UiText::System(systemText)) {}

UiArg::UiArg(const CString& systemText) : m_text(UiText::System(systemText)) {}

UiArg::UiArg(const UiText& text) : m_text(text) {}

UiText FormatUiText(const char* programFormat, std::initializer_list<UiArg> args) {
    UiText out;
    const UiArg* next = args.begin();
    std::string literal;
    // A byte walk is safe in GBK: '%' (0x25) is never part of a double-byte
    // character, whose bytes are all 0x40 or above.
    for (const char* p = programFormat ? programFormat : ""; *p; ++p) {
        if (*p != '%') {
            literal += *p;
            continue;
        }
        if (p[1] == '%') {
            literal += '%';
            ++p;
            continue;
        }
        while (p[1] == 'l') ++p;  // the length of %lu
        if (p[1]) ++p;            // the conversion letter
        out += UiText(literal.c_str());
        literal.clear();
        if (next != args.end()) out += (next++)->Text();
    }
    out += UiText(literal.c_str());
    return out;
}

}  // namespace afx
