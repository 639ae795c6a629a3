#include "lifecycle/product_version.h"

namespace {

constexpr int kMajorUnit = 10000;
constexpr int kMinorUnit = 100;

}  // namespace

CString FormatSetupVersion(int version) {
    // Minor and patch never exceed two digits and always show two.
    CString text;
    text.Format("%d.%02d.%02d", version / kMajorUnit, (version % kMajorUnit) / kMinorUnit,
                version % kMinorUnit);
    return text;
}

CString ActiveSetupVersion(int version) {
    CString text;
    text.Format("%d,%d,%d", version / kMajorUnit, (version % kMajorUnit) / kMinorUnit,
                version % kMinorUnit);
    return text;
}
