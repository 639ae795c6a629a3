#include "framework/afx_gdi.h"

#include "framework/afx_app.h"
#include "framework/afx_unicode.h"

namespace afx {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

}  // namespace

UINT GetWindowDpi(HWND window) {
    // Looked up rather than imported: Windows before 10 (1607) lacks it, and
    // an import would keep the program from starting there. user32 is loaded.
    const FARPROC proc = GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    if (proc) {
        const auto getDpiForWindow =
            reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void (*)()>(proc));
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    // Without it the program is system aware at most: the screen's DPI.
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

int ScaleToDpi(int length, UINT dpi) {
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

}  // namespace afx

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    const BOOL deleted = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return deleted;
}

BOOL CGdiObject::Own(HGDIOBJ object) {
    DeleteObject();
    m_hObject = object;
    return object != nullptr;
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    return Own(::CreateSolidBrush(color));
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    return Own(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource), IMAGE_BITMAP, 0,
                            0, LR_DEFAULTCOLOR));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                       BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                       const char* lpszFacename) {
    const std::wstring face = afx::ToWide(lpszFacename, afx::kProgramCodePage);
    return Own(::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                             bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                             nQuality, nPitchAndFamily, face.c_str()));
}
