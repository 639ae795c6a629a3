// Who a run is, for the log and for what it may serve: the account's name
// and SID, whether it is elevated, and whether it is the system account or
// another service account, which has no profile anybody works in.
#pragma once

#include "framework/afx_string.h"

struct RunningAccount {
    CString name;  // DOMAIN\user
    CString sid;   // S-1-5-...
    bool elevated = false;
};

RunningAccount CurrentAccount();

// Local System (S-1-5-18), Local Service, Network Service or a virtual
// service account (S-1-5-80-...). Platform-free.
bool IsServiceAccountSid(const char* sid);
