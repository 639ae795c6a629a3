// Force-included into every Windows translation unit (CMakeLists.txt). The
// C++ library declares its string classes instantiated in the library
// itself (extern templates); a program then links each class's whole object
// file, every member of it, since the library's objects are not split into
// a section per function (some 45 KB for std::string and std::wstring in
// each program). Without the declarations each program instantiates only
// the members it uses, and the linker drops what nothing calls.
#pragma once

#include <bits/c++config.h>

#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
