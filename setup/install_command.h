// State of the install command that lives for the whole run.
#pragma once

// True while the install command still looks for a running host: the
// warning is given at most once per run.
extern bool g_bWarnHostRunning;

// The warning that a host runs.
constexpr char kCloseHostText[] = "请关闭CAD后再进行安装 !";
