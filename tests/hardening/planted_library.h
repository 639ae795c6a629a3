// A stand-in for a library planted beside a program: loading it leaves the
// file "<its own path>.loaded" and does nothing else.
#pragma once

namespace hardening {

constexpr const char* kLoadedMarkerSuffix = ".loaded";

}  // namespace hardening
