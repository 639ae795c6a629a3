#include "setup/setup_title.h"

namespace {

constexpr int kMajorUnit = 10000;
constexpr int kMinorUnit = 100;
constexpr int kTwoDigits = 10;

}  // namespace

CString FormatSetupTitle(int version) {
    const int major = version / kMajorUnit;
    const int minor = (version % kMajorUnit) / kMinorUnit;
    const int patch = version % kMinorUnit;
    CString title;
    if (minor < kTwoDigits) {
        title.Format("批打印软件 V%d.0%d", major, minor);
    } else {
        title.Format("批打印软件 V%d.%d", major, minor);
    }
    CString full;
    if (patch < kTwoDigits) {
        full.Format("%s.0%d", title.GetString(), patch);
    } else {
        full.Format("%s.%d", title.GetString(), patch);
    }
    return full;
}
