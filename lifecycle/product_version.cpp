#include "lifecycle/product_version.h"

#include <string>

namespace {

constexpr int kMajorUnit = 10000;
constexpr int kMinorUnit = 100;
// Active Setup compares 16-bit numbers; four digits always fit.
constexpr size_t kMaxMoveDigits = 4;
constexpr int kMaxMoves = 9999;

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

CString NextActiveSetupVersion(int version, const CString& earlier, bool moved) {
    const CString base = ActiveSetupVersion(version);
    int moves = 0;
    if (earlier.str().compare(0, base.GetLength() + 1, (base + ",").str()) == 0) {
        const std::string count = earlier.str().substr(base.GetLength() + 1);
        if (!count.empty() && count.size() <= kMaxMoveDigits &&
            count.find_first_not_of("0123456789") == std::string::npos) {
            moves = std::stoi(count);
        }
    }
    if (moved && moves < kMaxMoves) ++moves;
    if (moves == 0) return base;
    CString text;
    text.Format("%s,%d", base.GetString(), moves);
    return text;
}

CString ActiveSetupVersion(int version) {
    const SetupVersionParts parts = SplitSetupVersion(version);
    CString text;
    text.Format("%d,%d,%d", parts.year, parts.month, parts.day);
    return text;
}
