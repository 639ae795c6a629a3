// The folders a file is reached through, held while the file is opened. A
// name someone else gave (the log on the command line) may lead through a
// folder link that a user made in a folder they may write, and the elevated
// program would then write wherever that link points.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "framework/scoped_handles.h"

// `path` made absolute against the current folder (the folder the run was
// started from) and put in its normal form (text/path_text.h). False when
// it names no file on a drive or a share: a device, a stream.
bool AbsoluteNormalPath(const char* path, CString* normal);

class HeldFolders {
public:
    enum class Outcome {
        Held,
        Link,      // a link, junction or mount point
        Unopened,  // GetLastError() says why
    };
    // Opens every folder above `normalPath` (in its normal form) below its
    // root, from the top down, each as itself and never through a link, and holds it
    // without delete sharing: while held, none can be renamed, removed or
    // replaced by a link. Stops at the first folder that is a link or cannot
    // be opened, which is then in *at.
    Outcome Hold(const CString& normalPath, CString* at);

private:
    std::vector<afx::ScopedKernelHandle> m_held;
};
