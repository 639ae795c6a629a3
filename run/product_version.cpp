#include "run/product_version.h"

#include <array>
#include <string>

namespace {

constexpr int kMajorUnit = 10000;
constexpr int kMinorUnit = 100;
// A written version: year, month and day, none longer than the year's four digits.
constexpr int kVersionParts = 3;
constexpr int kMaxPartDigits = 4;
constexpr int kDecimalBase = 10;
// Active Setup compares up to four numbers of 16 bits each; the count of
// servings again stays within four digits.
constexpr size_t kActiveSetupNumbers = 4;
constexpr long kMaxActiveSetupNumber = 65535;
constexpr size_t kMaxNumberDigits = 5;
constexpr long kMaxServingsAgain = 9999;
using ActiveSetupNumbers = std::array<long, kActiveSetupNumbers>;

// "a,b,c,d" (fewer numbers: the rest are 0); false when it is no version.
bool ParseActiveSetupVersion(const std::string& text, ActiveSetupNumbers* numbers) {
    *numbers = {};
    size_t start = 0;
    for (size_t i = 0; i < kActiveSetupNumbers; ++i) {
        const size_t comma = text.find(',', start);
        const std::string number = text.substr(start, comma - start);
        if (number.empty() || number.size() > kMaxNumberDigits ||
            number.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        (*numbers)[i] = std::stol(number);
        if ((*numbers)[i] > kMaxActiveSetupNumber) return false;
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
    return false;  // a fifth number
}

}  // namespace

SetupVersionParts SplitSetupVersion(int version) {
    return {version / kMajorUnit, (version % kMajorUnit) / kMinorUnit, version % kMinorUnit};
}

CString FormatSetupVersion(int version) {
    // Minor and patch never exceed two digits and always show two.
    const SetupVersionParts parts = SplitSetupVersion(version);
    CString text;
    text.Format("%d.%02d.%02d", parts.year, parts.month, parts.day);
    return text;
}

CString NextActiveSetupVersion(int version, const CString& earlier, bool serveAgain) {
    const SetupVersionParts parts = SplitSetupVersion(version);
    ActiveSetupNumbers next = {parts.year, parts.month, parts.day, 0};
    ActiveSetupNumbers was;
    if (ParseActiveSetupVersion(earlier.str(), &was) && next <= was) {
        next = was;
        if (serveAgain && next[3] < kMaxServingsAgain) ++next[3];
    }
    CString text;
    text.Format("%ld,%ld,%ld", next[0], next[1], next[2]);
    if (next[3] != 0) {
        CString fourth;
        fourth.Format(",%ld", next[3]);
        text += fourth;
    }
    return text;
}

int ParseSetupVersion(const char* text) {
    if (!text) return 0;
    // Three runs of digits between dots, and exactly what FormatSetupVersion
    // writes for them. Read by hand: sscanf alone would add some 30 KB of the
    // C library to each program.
    int parts[kVersionParts] = {};
    const char* p = text;
    for (int i = 0; i < kVersionParts; ++i) {
        const char* const start = p;
        while (*p >= '0' && *p <= '9' && p - start < kMaxPartDigits) {
            parts[i] = parts[i] * kDecimalBase + (*p++ - '0');
        }
        const char expected = i + 1 < kVersionParts ? '.' : '\0';
        if (p == start || *p != expected) return 0;
        ++p;
    }
    const int version = parts[0] * kMajorUnit + parts[1] * kMinorUnit + parts[2];
    return FormatSetupVersion(version) == text ? version : 0;
}

VersionStep StepOver(int installed, int version, bool allowDowngrade) {
    if (installed == 0) return VersionStep::Install;
    if (version > installed) return VersionStep::Upgrade;
    if (version == installed) return VersionStep::Repair;
    return allowDowngrade ? VersionStep::Rollback : VersionStep::Downgrade;
}
