// What the game does on Windows before main, in vrillon.exe alone (the tests
// and the session runner keep their own working folder and output): the part
// of the Linux launcher and of SDL 1.2's SDLmain that Windows players had.
//
// - The game reads and writes its files relative to its working folder: that
//   is the game's own folder, whatever folder a shortcut names.
// - Where the game's folder cannot be written (installed under Program
//   Files), the records live in %APPDATA%\Vrillon instead, as the Linux
//   launcher keeps them in the XDG folder: the working folder is then that
//   one, with copies of the pictures, sounds and fonts (refreshed when the
//   game's own differ) and the record files copied from the game's only
//   when absent. MIDI instruments are then read from the game's folder.
// - Standard output and standard error go to stdout.txt and stderr.txt in
//   the working folder, as SDLmain did (in text mode, so with Windows' line
//   ends); an empty one is removed at the end.
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <windows.h>
#include <shlobj.h>

namespace {

std::wstring folder_of_game() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &path[0], DWORD(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool can_write_in(const std::wstring& folder) {
    const std::wstring probe = folder + L"\\.vrillon-write-test";
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

bool same_file(const std::wstring& a, const std::wstring& b) {
    WIN32_FILE_ATTRIBUTE_DATA x, y;
    if (!GetFileAttributesExW(a.c_str(), GetFileExInfoStandard, &x) ||
        !GetFileAttributesExW(b.c_str(), GetFileExInfoStandard, &y))
        return false;
    return x.nFileSizeLow == y.nFileSizeLow && x.nFileSizeHigh == y.nFileSizeHigh &&
           CompareFileTime(&x.ftLastWriteTime, &y.ftLastWriteTime) == 0;
}

// Copies every file of from\NAME into to\NAME: all of them when refresh is
// set and they differ, otherwise only those absent.
void copy_folder(const std::wstring& from, const std::wstring& to, bool refresh) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring src = from + L"\\" + found.cFileName;
        const std::wstring dst = to + L"\\" + found.cFileName;
        if (GetFileAttributesW(dst.c_str()) != INVALID_FILE_ATTRIBUTES &&
            (!refresh || same_file(src, dst)))
            continue;
        CopyFileW(src.c_str(), dst.c_str(), FALSE);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

// The mixer's MIDI synthesizer opens files by names in the ANSI code page
// and reads its configuration as words split at spaces: a folder is given by
// its short name (no spaces, no letters outside that page) where it has one.
std::string ansi_path(const std::wstring& path) {
    std::wstring use = path;
    std::wstring shorter(MAX_PATH, L'\0');
    DWORD m = GetShortPathNameW(path.c_str(), &shorter[0], DWORD(shorter.size()));
    if (m > 0 && m < shorter.size()) {
        shorter.resize(m);
        use = shorter;
    }
    int n = WideCharToMultiByte(CP_ACP, 0, use.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, use.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(size_t(n - 1));
    return out;
}

// The records' folder when the game's own cannot be written, ready to play
// from; empty when it cannot be made.
std::wstring prepare_user_folder(const std::wstring& game) {
    PWSTR appdata = nullptr;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &appdata) != S_OK) return L"";
    const std::wstring user = std::wstring(appdata) + L"\\Vrillon";
    CoTaskMemFree(appdata);
    CreateDirectoryW(user.c_str(), nullptr);
    if (!can_write_in(user)) return L"";
    copy_folder(game + L"\\pics", user + L"\\pics", true);
    copy_folder(game + L"\\sounds", user + L"\\sounds", true);
    copy_folder(game + L"\\font", user + L"\\font", true);
    copy_folder(game + L"\\data", user + L"\\data", false);
    // The instruments stay in the game's folder: a configuration here names
    // them there.
    const std::string instruments = ansi_path(game + L"\\timidity");
    const std::string patches = ansi_path(game + L"\\timidity\\freepats");
    const std::wstring cfg = user + L"\\timidity.cfg";
    FILE* f = _wfopen(cfg.c_str(), L"w");
    if (f) {
        fprintf(f, "dir %s\nsource %s\\timidity.cfg\n", patches.c_str(), instruments.c_str());
        fclose(f);
        _putenv_s("TIMIDITY_CFG", ansi_path(cfg).c_str());
    }
    return user;
}

std::wstring output_folder;

// A file the C library holds open cannot be removed: an empty one is let go
// first.
void remove_if_empty(FILE* stream, const wchar_t* name) {
    fflush(stream);
    const std::wstring path = output_folder + L"\\" + name;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        data.nFileSizeLow != 0 || data.nFileSizeHigh != 0)
        return;
    if (_wfreopen(L"NUL", L"w", stream)) DeleteFileW(path.c_str());
}

void close_output() {
    remove_if_empty(stdout, L"stdout.txt");
    remove_if_empty(stderr, L"stderr.txt");
}

void start_game() {
    const std::wstring game = folder_of_game();
    if (game.empty()) return;
    std::wstring work = game;
    CreateDirectoryW((game + L"\\data").c_str(), nullptr);
    if (!can_write_in(game + L"\\data")) {
        const std::wstring user = prepare_user_folder(game);
        if (!user.empty()) work = user;
    }
    SetCurrentDirectoryW(work.c_str());

    output_folder = work;
    if (_wfreopen((work + L"\\stdout.txt").c_str(), L"w", stdout))
        setvbuf(stdout, nullptr, _IONBF, 0);
    if (_wfreopen((work + L"\\stderr.txt").c_str(), L"w", stderr))
        setvbuf(stderr, nullptr, _IONBF, 0);
    atexit(close_output);
}

// Runs before main, in the program that links this file.
[[maybe_unused]] const bool started = (start_game(), true);

} // namespace
