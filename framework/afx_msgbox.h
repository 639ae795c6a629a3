// The framework's message boxes. Every box the program shows goes through
// ShowMessageBox, so tests can answer boxes in-process; the program itself
// always shows the real one, through the wide function, so that its texts
// read right whatever the system's code page.
#pragma once

#include <windows.h>

#include "framework/afx_seam.h"
#include "framework/afx_ui_text.h"

namespace afx {

// Answers boxes instead of the screen: tests in-process, and the silent
// runs, which show no window and log every box. Sees a box's texts narrow,
// as UiText::Narrow gives them, unless it takes them whole.
class MessageBoxResponder {
public:
    virtual int Answer(HWND owner, const char* text, const char* caption, UINT type) = 0;
    virtual int AnswerText(HWND owner, const UiText& text, const UiText& caption, UINT type) {
        return Answer(owner, text.Narrow(), caption.Narrow(), type);
    }

protected:
    ~MessageBoxResponder() = default;
};

// Shows a box (or hands it to the installed responder) and returns the
// button's id. Input typed ahead is dropped first, and the box's buttons
// take no input for a moment after it appears.
int ShowMessageBox(HWND owner, const UiText& text, const UiText& caption, UINT type);

// The framework's safe owner: the main window when one is set, else the
// active window climbed to its top-level window and that window's last
// active pop-up; null when no window of the thread is active.
HWND GetSafeOwner();

// Installs a responder for the lifetime of the object.
class ScopedMessageBoxResponder : ScopedSeam<MessageBoxResponder> {
public:
    explicit ScopedMessageBoxResponder(MessageBoxResponder& responder);
};

}  // namespace afx

// The framework's message box: owned by the safe owner, captioned with the
// application's name unless a caption (a program text) is given.
int AfxMessageBox(const afx::UiText& text, UINT type = MB_OK, const char* caption = nullptr);
