// GDI wrappers. CBrush, CFont and CBitmap own their object and delete it
// with themselves; CDC merely borrows a device context that the system lends
// for one message and never releases it. And the display scale a window is
// drawn at.
#pragma once

#include <windows.h>

namespace afx {

// The DPI everything is designed at: 100 %.
constexpr UINT kDesignDpi = 96;

// The DPI the window is drawn at: its monitor's for a per-monitor aware
// program, else the system's.
UINT GetWindowDpi(HWND window);

// A length designed at 96 DPI, at the given DPI.
int ScaleToDpi(int length, UINT dpi);

}  // namespace afx

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

// A GDI object of one kind, handed to the platform as its own handle type.
template <typename Handle>
class CGdiObjectOf : public CGdiObject {
public:
    operator Handle() const { return static_cast<Handle>(m_hObject); }  // NOLINT: implicit
};

class CBrush : public CGdiObjectOf<HBRUSH> {
public:
    BOOL CreateSolidBrush(COLORREF color);
};

class CFont : public CGdiObjectOf<HFONT> {
public:
    // CreateFont's parameters, in its order. The face name is a program text
    // (GBK) and is passed on as Unicode, so that "宋体" is found on any system.
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                    BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                    BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                    const char* lpszFacename);
};

class CBitmap : public CGdiObjectOf<HBITMAP> {
public:
    // A bitmap resource of the program, at its own size and colours.
    BOOL LoadBitmap(UINT nIDResource);
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
