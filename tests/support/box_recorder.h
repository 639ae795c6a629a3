// The one recording message-box responder of the tests: keeps every box the
// program shows and answers it, through the handler when one is set (given
// the box's number from 0), else with the default answer. Count and Texts
// may be read from a script thread while the program's thread answers.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "framework/afx_msgbox.h"

struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

class BoxRecorder : public afx::MessageBoxResponder {
public:
    explicit BoxRecorder(int defaultAnswer = IDOK) : m_defaultAnswer(defaultAnswer) {}
    int Answer(HWND owner, const char* text, const char* caption, UINT type) override {
        ShownBox box{owner, text ? text : "", caption ? caption : "", type};
        int index = 0;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            boxes.push_back(box);
            index = static_cast<int>(boxes.size()) - 1;
        }
        return handler ? handler(index, box) : m_defaultAnswer;
    }

    size_t Count() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return boxes.size();
    }
    std::vector<std::string> Texts() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> texts;
        for (const ShownBox& box : boxes) texts.push_back(box.text);
        return texts;
    }

    std::function<int(int index, const ShownBox& box)> handler;
    std::vector<ShownBox> boxes;

private:
    int m_defaultAnswer;
    std::mutex m_mutex;
};
