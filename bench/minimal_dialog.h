// The startup baseline's one dialog template (a macro: the resource
// compiler reads it too).
#pragma once

#define IDD_MINIMAL 100
