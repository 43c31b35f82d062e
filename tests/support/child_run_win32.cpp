// Windows has no fork: the test program runs again, for the current test
// alone, with VRILLON_CHILD_RUN telling it which run_child call of that test
// it is to make (and where its standard output goes). That copy goes through
// the test's own steps up to that call (the earlier ones answer at once) and
// runs the body there, ending with its status.
#include "support/support.h"
#include "common/process_win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <windows.h>

namespace {
std::string without_cr(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

std::string read_all(const std::wstring& path) {
    std::string text;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    fclose(f);
    return text;
}

// The number of this run_child call within the current test.
int call_number() {
    static std::string test;
    static int calls = 0;
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name =
        info ? std::string(info->test_suite_name()) + "." + info->name() : std::string();
    if (name != test) {
        test = name;
        calls = 0;
    }
    return ++calls;
}
} // namespace

ChildRun run_child(int (*body)()) {
    ChildRun r = {false, -1, ""};
    const int call = call_number();
    const char* asked = getenv("VRILLON_CHILD_RUN");
    if (asked) {
        char* rest = nullptr;
        if (strtol(asked, &rest, 10) != call || *rest != '|') return r;
        fflush(stdout);
        if (!_wfreopen(wide(rest + 1).c_str(), L"w", stdout)) _exit(126);
        exit(body());
    }

    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    if (!info) return r;
    namespace fs = std::filesystem;
    std::error_code err;
    const fs::path here = fs::current_path(err);
    const std::wstring outPath = (here / ("child-" + std::to_string(call) + ".out")).wstring();

    wchar_t self[MAX_PATH];
    if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) return r;
    std::wstring line = std::wstring(L"\"") + self + L"\" --gtest_filter=" +
                        wide(info->test_suite_name()) + L"." + wide(info->name());
    std::wstring marker = std::to_wstring(call) + L"|" + outPath;
    SetEnvironmentVariableW(L"VRILLON_CHILD_RUN", marker.c_str());

    // The copy's own test report is not wanted: it writes to nowhere.
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE nowhere =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    PROCESS_INFORMATION pi;
    fflush(stdout);
    const bool started = start_process(self, line, nowhere, nowhere, nullptr, pi);
    SetEnvironmentVariableW(L"VRILLON_CHILD_RUN", nullptr);
    if (nowhere != INVALID_HANDLE_VALUE) CloseHandle(nowhere);
    if (!started) return r;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = DWORD(-1);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // Status values from 0xC0000000 up are the system's, for a crash.
    r.exited = code < 0xC0000000u;
    r.status = r.exited ? int(code) : -1;
    r.out = without_cr(read_all(outPath));
    DeleteFileW(outPath.c_str());
    return r;
}

int run_command(const std::string& command, std::string* out) {
    FILE* p = _wpopen(wide(command + " 2>NUL").c_str(), L"rb");
    if (!p) return -1;
    std::string text;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        text.append(buf, n);
    const int status = _pclose(p);
    if (out) *out = without_cr(text);
    return status;
}
