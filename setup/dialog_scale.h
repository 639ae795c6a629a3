// What of the setup dialog follows the scale of the display it is on: its
// two fonts, whose heights are designed at 96 DPI, and its two pictures,
// each at the largest of its scales (100 %, 150 %, 200 %) that the DPI
// reaches, so that it fills its place in the dialog, which grows with the
// DPI, and is never cut.
#pragma once

#include <windows.h>

#include "framework/afx_gdi.h"

class DialogScale {
public:
    static constexpr int kPictureScales = 3;

    // The fonts and pictures for `dpi` in `dialog`, which is redrawn.
    void Apply(HWND dialog, UINT dpi);

    // Made once per DPI, so that no colour request leaks a font and the
    // controls can draw with them for as long as the dialog exists.
    CFont& TitleFont() { return m_fontTitle; }
    CFont& LabelFont() { return m_fontLabel; }

private:
    CFont m_fontTitle;
    CFont m_fontLabel;
    // Each picture at every scale: loaded when first shown, kept while the
    // dialog may show them. The template shows them at 100 %.
    CBitmap m_logoBitmaps[kPictureScales];
    CBitmap m_menuBitmaps[kPictureScales];
    int m_pictureScale = 0;
};
