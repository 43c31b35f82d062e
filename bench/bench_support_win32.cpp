#include "bench_support.h"
#include "common/process_win32.h"

#include <cstdio>
#include <windows.h>

#include <psapi.h>

namespace {
double seconds_of(const FILETIME& t) {
    return double((unsigned long long)t.dwHighDateTime << 32 | t.dwLowDateTime) / 1e7;
}
} // namespace

double process_cpu_seconds() {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0;
    return seconds_of(kernel) + seconds_of(user);
}

long child_peak_memory_kb(const std::string& program, const std::string& script,
                          const std::string& dir, std::string& why) {
    const std::wstring path = wide(program);
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        why = "no session_runner at " + program;
        return -1;
    }
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE nowhere =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    SetEnvironmentVariableW(L"SDL_VIDEODRIVER", L"dummy");
    SetEnvironmentVariableW(L"SDL_AUDIODRIVER", L"dummy");
    std::wstring line = L"\"" + path + L"\" \"" + wide(script) + L"\"";
    PROCESS_INFORMATION pi;
    fflush(nullptr);
    const bool started = start_process(path.c_str(), line, nowhere, nowhere, wide(dir).c_str(), pi);
    if (nowhere != INVALID_HANDLE_VALUE) CloseHandle(nowhere);
    if (!started) {
        why = "cannot start session_runner";
        return -1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    const bool measured = GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (code != 0) {
        why = "the session did not end normally";
        return -1;
    }
    if (!measured) {
        why = "the system did not tell the session's memory";
        return -1;
    }
    return long(counters.PeakWorkingSetSize / 1024);
}
