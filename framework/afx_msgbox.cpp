#include "framework/afx_msgbox.h"

#include "framework/afx_app_name.h"
#include "framework/afx_input_guard.h"
#include "framework/afx_unicode.h"

namespace afx {

namespace {

// Null while boxes go to the screen.
MessageBoxResponder* g_responder = nullptr;

}  // namespace

int ShowMessageBox(HWND owner, const UiText& text, const UiText& caption, UINT type) {
    DiscardQueuedInput();
    if (g_responder) {
        return g_responder->AnswerText(owner, text, caption, type);
    }
    const ScopedInputGuard guard;
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
    : ScopedSeam(g_responder, responder) {}

}  // namespace afx

int AfxMessageBox(const afx::UiText& text, UINT type, const char* caption) {
    // The name comes from the executable's file name: a system text.
    const afx::UiText shownCaption = caption ? caption : afx::UiText::System(afx::GetAppName());
    return afx::ShowMessageBox(afx::GetSafeOwner(), text, shownCaption, type);
}
