#include "record/file_ownership.h"

Ownership JudgeRecordedFile(const InstallRecord::File& recorded, const FileNow& now) {
    if (recorded.origin != InstallRecord::Origin::New) return Ownership::NotRecorded;
    if (!now.present) return Ownership::Gone;
    if (recorded.sha256.IsEmpty()) return Ownership::Unproven;
    if (now.size != recorded.size) return Ownership::Changed;
    // Not read is not changed: only a size tells that apart.
    if (now.unreadable) return Ownership::InUse;
    if (now.sha256 != recorded.sha256) return Ownership::Changed;
    return Ownership::Own;
}
