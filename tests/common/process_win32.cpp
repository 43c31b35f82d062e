#include "common/process_win32.h"

std::wstring wide(const std::string& text) {
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], n);
    out.resize(size_t(n - 1));
    return out;
}

bool start_process(const wchar_t* program, std::wstring& line, HANDLE out, HANDLE err,
                   const wchar_t* dir, PROCESS_INFORMATION& pi) {
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    return CreateProcessW(program, &line[0], nullptr, nullptr, TRUE, 0, nullptr, dir, &si, &pi);
}
