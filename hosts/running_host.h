// Whether the host CAD program is running, from a snapshot of the processes.
#pragma once

// True when some running process's image name contains "gcad.exe", in any
// letter case; false otherwise and when the process list cannot be read.
bool IsHostRunning();
