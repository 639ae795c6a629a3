#include "setup/setup_title.h"

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

CString FormatSetupTitle(int version) {
    return CString("批打印软件 V") + FormatSetupVersion(version);
}
