#include "verify/verdicts.h"

#include <gtest/gtest.h>

#include <string>

TEST(JudgeVerifiedFile, AHostsFileChangedSinceIsTheCadsOwnAPluginFileChangedIsDamage) {
    const struct {
        FilePlace place;
        Ownership ownership;
        Verdict verdict;
        bool damage;
    } cases[] = {
        {FilePlace::Plugin, Ownership::Own, Verdict::AsInstalled, false},
        {FilePlace::Plugin, Ownership::Gone, Verdict::Missing, true},
        {FilePlace::Plugin, Ownership::Changed, Verdict::Changed, true},
        {FilePlace::Plugin, Ownership::InUse, Verdict::InUse, false},
        {FilePlace::Host, Ownership::Gone, Verdict::Missing, true},
        {FilePlace::Host, Ownership::Changed, Verdict::HostsOwn, false},
        {FilePlace::Host, Ownership::InUse, Verdict::InUse, false},
        {FilePlace::Host, Ownership::Unproven, Verdict::Unproven, false},
    };
    for (const auto& c : cases) {
        const Verdict verdict = JudgeVerifiedFile(c.place, c.ownership);
        EXPECT_EQ(verdict, c.verdict)
            << static_cast<int>(c.place) << " " << static_cast<int>(c.ownership);
        EXPECT_EQ(IsDamage(verdict), c.damage) << VerdictWords(verdict);
    }
    // The log's words say whether each verdict counts.
    for (int i = 0; i <= static_cast<int>(Verdict::Outside); ++i) {
        const Verdict verdict = static_cast<Verdict>(i);
        const std::string words = VerdictWords(verdict);
        EXPECT_EQ(words.find("(damage)") != std::string::npos, IsDamage(verdict)) << words;
    }
}
