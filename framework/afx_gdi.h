// GDI wrappers. CBrush and CFont own their object and delete it with
// themselves; CDC merely borrows a device context that the system lends for
// one message and never releases it.
#pragma once

#include <windows.h>

class CGdiObject {
public:
    CGdiObject() = default;
    ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL DeleteObject();

protected:
    // Takes ownership of a new object, deleting any held one first.
    BOOL Own(HGDIOBJ object);
};

class CBrush : public CGdiObject {
public:
    BOOL CreateSolidBrush(COLORREF color);
    operator HBRUSH() const {
        return static_cast<HBRUSH>(m_hObject);
    }  // NOLINT: like the framework's
};

class CFont : public CGdiObject {
public:
    // CreateFontA's parameters, in its order.
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                    BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                    const char* lpszFacename);
    operator HFONT() const {
        return static_cast<HFONT>(m_hObject);
    }  // NOLINT: like the framework's
};

class CDC {
public:
    explicit CDC(HDC borrowed) : m_hDC(borrowed) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC;

    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    // Returns the font that was selected before; the DC keeps no ownership.
    HGDIOBJ SelectObject(CFont* font) { return ::SelectObject(m_hDC, font->GetSafeHandle()); }
};
