// Stops a process from outside at a log line, exactly: the watch is the
// process's debugger and holds it at the entry of each WriteFile; the call
// that would write the text is never made, and everything the process did
// before it (the step the line reports) is done. However little the process
// has left to do after that line, the kill lands before it.
#pragma once

#include <windows.h>

#include <string>

namespace driver {

// Watches the running process until it is about to write data that holds
// `text`, and ends it there. Any write counts: a text that is also a literal
// of a program the process copies (the setup writes itself as the
// uninstaller) may end it in that copy; name one only the log line holds. True when it was ended
// there; false when it ended first, the timeout passed (it is then let go) or it cannot be watched.
bool KillAtWrite(DWORD processId, const std::string& text, DWORD timeoutMs);

}  // namespace driver
