// setenv for the tools built for Windows, whose C library has _putenv_s
// instead (forced into their compilation by cmake/windows.cmake).
#pragma once

#include <cstdlib>

inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && getenv(name) != nullptr) return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}
