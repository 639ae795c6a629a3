#include "framework/afx_msgbox.h"

#include "framework/afx_app_name.h"
#include "framework/afx_unicode.h"

namespace afx {

namespace {

// Null while boxes go to the screen.
MessageBoxResponder* g_responder = nullptr;

}  // namespace

void DiscardQueuedInput() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    while (PeekMessageA(&message, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
    }
}

int ShowMessageBox(HWND owner, const UiText& text, const UiText& caption, UINT type) {
    DiscardQueuedInput();
    if (g_responder) {
        return g_responder->AnswerText(owner, text, caption, type);
    }
    return MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), type);
}

HWND GetSafeOwner() {
    HWND owner = GetMainWindow();
    if (!owner) owner = GetActiveWindow();
    if (!owner) return nullptr;
    HWND top = GetAncestor(owner, GA_ROOT);
    if (top) owner = top;
    return GetLastActivePopup(owner);
}

ScopedMessageBoxResponder::ScopedMessageBoxResponder(MessageBoxResponder& responder)
    : m_previous(g_responder) {
    g_responder = &responder;
}

ScopedMessageBoxResponder::~ScopedMessageBoxResponder() {
    g_responder = m_previous;
}

}  // namespace afx

int AfxMessageBox(const afx::UiText& text, UINT type, const char* caption) {
    // The name comes from the executable's file name: a system text.
    const afx::UiText shownCaption = caption ? caption : afx::UiText::System(afx::GetAppName());
    return afx::ShowMessageBox(afx::GetSafeOwner(), text, shownCaption, type);
}
