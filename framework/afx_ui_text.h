// UiText: a text on its way to the screen, made of narrow pieces that each
// know their code page. The program's own texts are GBK literals on every
// system; paths and whatever the system hands over are in the system's ANSI
// code page. A box that puts a path into one of our sentences holds both,
// and only piece by piece can each be read right where the text meets the
// window system (framework/afx_unicode.h). Platform-free.
#pragma once

#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/afx_string.h"

namespace afx {

// Where a narrow text comes from, and so which code page it is in.
enum class TextOrigin {
    Program,  // the program's own literals: GBK (code page 936) on every system
    System,   // paths and texts of the system: its ANSI code page
};

class UiText {
public:
    struct Piece {
        TextOrigin origin;
        std::string bytes;
    };

    UiText() = default;
    // A literal of the program: every plain string given where a UiText is
    // wanted is one. A CString is not taken implicitly; it says what it holds.
    UiText(const char* programText);  // NOLINT: implicit, as a literal is used

    static UiText Program(const CString& text);
    static UiText System(const CString& text);

    UiText& operator+=(const UiText& other);
    friend UiText operator+(UiText a, const UiText& b) { return a += b; }

    bool IsEmpty() const { return m_pieces.empty(); }
    const std::vector<Piece>& Pieces() const { return m_pieces; }
    // The pieces' bytes one after another: under code page 936 exactly the
    // text an ANSI function would have been given (what test responders see).
    CString Narrow() const;

private:
    void Append(TextOrigin origin, const std::string& bytes);

    std::vector<Piece> m_pieces;  // neighbours always differ in origin; none is empty
};

// One argument of FormatUiText: a system text (a path), a text already made
// of pieces, or a whole number.
class UiArg {
public:
    UiArg(const char* systemText);     // NOLINT: implicit, like printf's arguments
    UiArg(const CString& systemText);  // NOLINT
    UiArg(const UiText& text);         // NOLINT
    template <typename Number, typename = std::enable_if_t<std::is_integral_v<Number>>>
    UiArg(Number number)  // NOLINT
        : m_text(UiText::System(CString(std::to_string(number)))) {}

    const UiText& Text() const { return m_text; }

private:
    UiText m_text;
};

// The format is program text (GBK); each directive %s, %d, %u or %lu takes
// the next argument in turn, and "%%" is a percent sign. No widths, no
// precisions: a path is never cut.
UiText FormatUiText(const char* programFormat, std::initializer_list<UiArg> args);

}  // namespace afx
