// The boxes of an unattended run: none reaches the screen. Each is logged
// and answered as nobody is there to: Retry for a copy that fails, a few
// times with a pause (a host may be closing), then Abort; No to a question;
// OK to a message.
#pragma once

#include <string>

#include "framework/afx_msgbox.h"

class RunLog;

class SilentBoxes : public afx::MessageBoxResponder {
public:
    explicit SilentBoxes(RunLog& log) : m_log(log) {}

    int Answer(HWND owner, const char* text, const char* caption, UINT type) override;
    int AnswerText(HWND owner, const afx::UiText& text, const afx::UiText& caption,
                   UINT type) override;

    static constexpr int kCopyRetries = 3;
    static constexpr DWORD kRetryPauseMs = 2000;

private:
    RunLog& m_log;
    std::string m_lastRetried;
    int m_retries = 0;
};
