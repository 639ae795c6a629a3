#include "run/run_contract.h"

namespace {

struct CodeMeaning {
    int code;
    const char* meaning;
};

constexpr CodeMeaning kMeanings[] = {
    {exit_code::kSuccess, "success"},
    {exit_code::kNotWhole, "the installation is not whole: what is missing or changed is logged"},
    {exit_code::kRestartRequired, "success, a restart completes it"},
    {exit_code::kUserCancelled, "cancelled by the user"},
    {exit_code::kFailed, "failed"},
    {exit_code::kBusy, "busy: a host or another setup is running, try again later"},
    {exit_code::kBadCommandLine, "bad command line"},
    {exit_code::kRestartFirst, "nothing was done: restart the computer first, then run it again"},
    {exit_code::kDowngradeRefused,
     "nothing was done: a newer version is installed (/ALLOWDOWNGRADE rolls back to this one)"},
};

}  // namespace

const char* ExitCodeMeaning(int code) {
    for (const CodeMeaning& row : kMeanings) {
        if (row.code == code) return row.meaning;
    }
    return "unknown";
}
