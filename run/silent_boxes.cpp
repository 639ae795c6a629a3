#include "run/silent_boxes.h"

#include "run/run_log.h"

int SilentBoxes::Answer(HWND owner, const char* text, const char* caption, UINT type) {
    return AnswerText(owner, afx::UiText(text), afx::UiText(caption), type);
}

int SilentBoxes::AnswerText(HWND, const afx::UiText& text, const afx::UiText&, UINT type) {
    m_log.Write(afx::UiText("box (not shown): ") + text);
    switch (type & MB_TYPEMASK) {
        case MB_ABORTRETRYIGNORE:
        case MB_RETRYCANCEL: {
            // The same failure again: count its retries; another one starts anew.
            const std::string shown = text.Narrow().str();
            m_retries = shown == m_lastRetried ? m_retries + 1 : 1;
            m_lastRetried = shown;
            if (m_retries > kCopyRetries) {
                m_log.Write("answered: Abort, after retrying");
                return (type & MB_TYPEMASK) == MB_RETRYCANCEL ? IDCANCEL : IDABORT;
            }
            Sleep(kRetryPauseMs);
            m_log.Write("answered: Retry");
            return IDRETRY;
        }
        case MB_YESNO:
        case MB_YESNOCANCEL:
            m_log.Write("answered: No");
            return IDNO;
        case MB_OKCANCEL:
            m_log.Write("answered: Cancel");
            return IDCANCEL;
        default:
            return IDOK;
    }
}
