// Scratch folders in the user's temporary folder. Paths are UTF-8 with
// forward slashes, as the game writes its own.
//
// A test that ends its process on purpose (GoogleTest's death tests and
// run_child run the test program again for that) never reaches the code that
// removes its scratch tree: whatever is left of the folders a process made
// goes when it exits.
#include "common/scratch_folder.h"
#include "common/process_win32.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>
#include <windows.h>

namespace {
std::vector<std::wstring> made;

void remove_made() {
    // A process cannot remove the folder it works in.
    std::error_code err;
    std::filesystem::current_path(std::filesystem::temp_directory_path(err), err);
    for (const std::wstring& folder : made)
        std::filesystem::remove_all(folder, err);
}

std::string utf8(const std::wstring& wide) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(size_t(n - 1));
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::string temp_folder() {
    wchar_t path[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, path);
    if (n == 0 || n > MAX_PATH) return std::string();
    return utf8(std::wstring(path, n)); // ends with a slash
}
} // namespace

std::string scratch_prefix() {
    return temp_folder() + "vrillon";
}

std::string make_scratch_folder(const char* name) {
    const std::string base = temp_folder();
    if (base.empty()) return std::string();
    unsigned seed = unsigned(GetTickCount()) ^ (unsigned(GetCurrentProcessId()) << 12);
    for (int attempt = 0; attempt < 100; ++attempt) {
        seed = seed * 1103515245u + 12345u;
        char suffix[16];
        snprintf(suffix, sizeof suffix, "-%06X", (seed >> 8) & 0xffffff);
        const std::string path = base + name + suffix;
        if (CreateDirectoryW(wide(path).c_str(), nullptr)) {
            if (made.empty()) atexit(remove_made);
            made.push_back(wide(path));
            return path;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}
