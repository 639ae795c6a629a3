#include "lifecycle/run_contract.h"

const char* ExitCodeMeaning(int code) {
    switch (code) {
        case exit_code::kSuccess:
            return "success";
        case exit_code::kRestartRequired:
            return "success, a restart completes it";
        case exit_code::kUserCancelled:
            return "cancelled by the user";
        case exit_code::kFailed:
            return "failed";
        case exit_code::kBusy:
            return "busy: a host or another setup is running, try again later";
        case exit_code::kBadCommandLine:
            return "bad command line";
        default:
            return "unknown";
    }
}
