#include "setup/setup_title.h"

CString FormatSetupTitle(int version) {
    return CString("批打印软件 V") + FormatSetupVersion(version);
}
