#include "verify/findings.h"

#include <algorithm>

#include "run/run_log.h"

void Findings::Note(Verdict verdict, const CString& subject) {
    m_items.push_back({verdict, subject});
    m_log.Write(afx::UiText("verify: ") + afx::UiText::Program(VerdictWords(verdict)) + ": " +
                afx::UiText::System(subject));
}

int Findings::Damaged() const {
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(),
                                          [](const Item& item) { return IsDamage(item.verdict); }));
}
