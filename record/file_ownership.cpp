#include "record/file_ownership.h"

Ownership JudgeRecordedFile(const InstallRecord::File& recorded, const FileNow& now) {
    if (recorded.origin != InstallRecord::Origin::New) return Ownership::NotRecorded;
    if (!now.present) return Ownership::Gone;
    if (recorded.sha256.IsEmpty()) return Ownership::Unproven;
    if (now.size != recorded.size || now.sha256 != recorded.sha256) return Ownership::Changed;
    return Ownership::Own;
}
