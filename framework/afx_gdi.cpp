#include "framework/afx_gdi.h"

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

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                       BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                       const char* lpszFacename) {
    return Own(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                             bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                             nQuality, nPitchAndFamily, lpszFacename));
}
