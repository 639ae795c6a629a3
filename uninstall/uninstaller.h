// SetUp.exe is its own uninstaller. An installation leaves a copy of it named
// "Uninstall.exe" in the installation folder, and Programs and Features runs
// that copy; a program of that name runs as the uninstaller instead of the
// setup. The setup itself takes no command line.
//
// A running program cannot delete its own file, and the installation
// folder can only go once the uninstaller is out of it. So the copy in the
// installation folder only copies itself to a new temporary folder, starts
// that copy with the installation folder as its argument, and ends. The
// temporary copy asks, removes the installation (its first copy included)
// and has itself and its folder deleted at the next restart: the one file of
// its own it leaves is in the temporary folder, until then.
#pragma once

// True when this run is the uninstaller; it has then done all its work and
// the program ends.
bool RunAsUninstallerWhenNamedSo();
