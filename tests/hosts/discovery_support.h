// What the discovery tests share beside the registry sandbox: marker values,
// discovery on a fresh record, texts of chosen lengths.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "hosts/host_release.h"
#include "tests/support/scratch_registry.h"

// Sets "Location" to the text as REG_SZ, terminator included.
bool SetLocation(HKEY root, const std::string& keyPath, const std::string& folder);

// What discovery files for one release: (key path, folder) pairs in list order.
using Items = std::vector<std::pair<std::string, std::string>>;

// Runs discovery on a fresh record and returns what it filed for the release.
Items Discover(HostRelease release);

// The part, times over: names and data of chosen lengths.
std::string Repeated(const std::string& part, size_t times);
