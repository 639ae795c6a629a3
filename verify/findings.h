// What one run of Uninstall.exe /VERIFY found: each item logged as it is
// judged, in the log's words for its verdict, and the damage counted.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "verify/verdicts.h"

class RunLog;

class Findings {
public:
    struct Item {
        Verdict verdict;
        CString subject;  // a path or a registry key, in the system's code page
    };

    explicit Findings(RunLog& log) : m_log(log) {}
    Findings(const Findings&) = delete;
    Findings& operator=(const Findings&) = delete;

    void Note(Verdict verdict, const CString& subject);
    const std::vector<Item>& Items() const { return m_items; }
    // How many items are damage.
    int Damaged() const;

private:
    RunLog& m_log;
    std::vector<Item> m_items;
};
