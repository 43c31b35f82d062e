// The session runner as a child process on Windows. Its standard output is
// in text mode there, so its line ends are given back as on POSIX.
#include "support/session_run.h"
#include "common/process_win32.h"

#include <cstdio>
#include <windows.h>

namespace {
HANDLE inheritable_file(const std::string& path) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    return CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string without_cr(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}
} // namespace

SessionRun run_session(const std::string& dir, const std::string& script,
                       const std::vector<std::string>& wrapper) {
    SessionRun r = {false, -1, "", ""};
    if (!wrapper.empty()) {
        r.err = "no wrapper commands on Windows\n";
        return r;
    }
    const std::string outPath = dir + "/session.out";
    const std::string errPath = dir + "/session.err";
    HANDLE out = inheritable_file(outPath);
    HANDLE err = inheritable_file(errPath);
    const std::wstring runner = wide(std::string(VRILLON_TOOLS_DIR) + "/session_runner.exe");
    std::wstring line = L"\"" + runner + L"\" \"" + wide(script) + L"\"";
    SetEnvironmentVariableW(L"SDL_VIDEODRIVER", L"dummy");
    SetEnvironmentVariableW(L"SDL_AUDIODRIVER", L"dummy");
    PROCESS_INFORMATION pi;
    fflush(stdout);
    fflush(stderr);
    const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                         start_process(runner.c_str(), line, out, err, wide(dir).c_str(), pi);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    if (started) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = DWORD(-1);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        // Status values from 0xC0000000 up are the system's for a crash.
        r.exited = code < 0xC0000000u;
        r.status = int(code);
    }
    r.out = without_cr(read_file(outPath));
    r.err = without_cr(read_file(errPath));
    DeleteFileW(wide(outPath).c_str());
    DeleteFileW(wide(errPath).c_str());
    return r;
}
