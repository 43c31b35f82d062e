// The record files on Windows. The same promises as on POSIX
// (record_file.cpp): reading is bounded, and a save leaves either the old
// file or the new one. The new text goes to a file beside the old one, is
// flushed to the disk, and replaces it with MoveFileExW, through to the disk
// before it returns. Paths are UTF-8, turned into Windows' wide strings.
#include "records/record_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <io.h>
#include <string>
#include <windows.h>

namespace {

void (*saveHook)(int step) = nullptr;
int saveStep = 0;

void next_step() {
    ++saveStep;
    if (saveHook) saveHook(saveStep);
}

void report_read(const char* path, int err) {
    fprintf(stderr, "Erreur de lecture du fichier %s : %s\n", path, strerror(err));
}

void report_write(const char* path, int err) {
    fprintf(stderr, "Erreur d'écriture du fichier %s : %s\n", path, strerror(err));
}

// The C library's number for a Windows error, so the messages read as on POSIX.
int errno_of(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

int last_errno() {
    return errno_of(GetLastError());
}

std::wstring wide(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &w[0], n);
    w.resize(size_t(n - 1));
    return w;
}

HANDLE handle_of(int fd) {
    return fd < 0 ? INVALID_HANDLE_VALUE : HANDLE(_get_osfhandle(fd));
}

// Opens an existing file for update; other programs may read it, and the
// game may replace it while it is open.
HANDLE open_for_update(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int adopt(HANDLE h) {
    int fd = _open_osfhandle(intptr_t(h), 0);
    if (fd < 0) CloseHandle(h);
    return fd;
}

// Writes all of data at offset at; *done tells how much went out before a failure.
bool write_all(HANDLE h, const char* data, size_t size, long long at, size_t* done) {
    *done = 0;
    while (*done < size) {
        next_step();
        OVERLAPPED where;
        memset(&where, 0, sizeof where);
        const long long offset = at + (long long)*done;
        where.Offset = DWORD(offset & 0xffffffff);
        where.OffsetHigh = DWORD(offset >> 32);
        const DWORD want = DWORD(std::min(size - *done, size_t(1) << 30));
        DWORD n = 0;
        if (!WriteFile(h, data + *done, want, &n, &where)) {
            errno = last_errno();
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        *done += n;
    }
    return true;
}

bool cut_at(HANDLE h, long long size) {
    LARGE_INTEGER at;
    at.QuadPart = size;
    if (!SetFilePointerEx(h, at, nullptr, FILE_BEGIN) || !SetEndOfFile(h)) {
        errno = last_errno();
        return false;
    }
    return true;
}

bool flush(HANDLE h) {
    if (FlushFileBuffers(h)) return true;
    errno = last_errno();
    return false;
}

// The folder cannot take a new file but the file itself is writable: one write
// over the old text, padded with spaces to the old length as on POSIX. A
// failure puts the old bytes back.
bool save_in_place(RecordFile& f, const std::string& text) {
    HANDLE h = handle_of(f.fd);
    std::string out = text;
    if (off_t(out.size()) < f.size && f.size <= RECORD_MAX_BYTES) out.resize(size_t(f.size), ' ');
    size_t done = 0;
    bool ok = write_all(h, out.data(), out.size(), 0, &done);
    if (ok && f.size > off_t(text.size())) {
        next_step();
        ok = cut_at(h, (long long)text.size());
    }
    if (ok) {
        next_step();
        ok = flush(h);
    }
    if (ok) return true;
    const int err = errno;
    if (!f.text.empty()) write_all(h, f.text.data(), f.text.size(), 0, &done);
    if (cut_at(h, f.size)) flush(h);
    report_write(f.path, err);
    return false;
}

} // namespace

void set_record_save_hook(void (*hook)(int step)) {
    saveHook = hook;
}

RecordFile open_record(const char* path) {
    RecordFile f{path, -1, RECORD_CANNOT_OPEN, 0, 0, std::string()};
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        f.error = EISDIR;
        f.state = RECORD_NOT_REGULAR;
        return f;
    }
    HANDLE h = open_for_update(name);
    if (h == INVALID_HANDLE_VALUE) {
        f.error = last_errno();
        return f;
    }
    // Names such as CON or NUL open devices, which hold no records.
    const DWORD type = GetFileType(h);
    f.fd = adopt(h);
    if (f.fd < 0) {
        f.error = EMFILE;
        return f;
    }
    if (type != FILE_TYPE_DISK) {
        f.state = RECORD_NOT_REGULAR;
        return f;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h, &size)) {
        f.error = last_errno();
        f.state = RECORD_READ_FAILED;
        report_read(path, f.error);
        return f;
    }
    f.size = off_t(size.QuadPart);
    char buf[4096];
    while (long(f.text.size()) < RECORD_MAX_BYTES) {
        DWORD want = DWORD(std::min(sizeof buf, size_t(RECORD_MAX_BYTES - long(f.text.size()))));
        DWORD n = 0;
        if (!ReadFile(h, buf, want, &n, nullptr)) {
            f.error = last_errno();
            f.state = RECORD_READ_FAILED;
            report_read(path, f.error);
            return f;
        }
        if (n == 0) break;
        f.text.append(buf, n);
    }
    f.state = RECORD_READ;
    return f;
}

bool save_record(RecordFile& f, const std::string& text) {
    saveStep = 0;
    switch (f.state) {
    case RECORD_READ:
        break;
    case RECORD_NOT_REGULAR:
        fprintf(stderr, "Erreur d'écriture du fichier %s : ce n'est pas un fichier ordinaire\n",
                f.path);
        return false;
    case RECORD_READ_FAILED: // already said when it was read
        return false;
    case RECORD_CANNOT_OPEN:
        report_write(f.path, f.error);
        return false;
    }
    const std::string target = f.path;
    const size_t slash = target.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    // A name of its own beside the file, as mkstemp would make.
    next_step();
    std::wstring temp;
    HANDLE t = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    unsigned seed = unsigned(GetTickCount()) ^ unsigned(GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 100 && error == ERROR_FILE_EXISTS; ++attempt) {
        seed = seed * 1103515245u + 12345u;
        char suffix[16];
        snprintf(suffix, sizeof suffix, ".%06X", (seed >> 8) & 0xffffff);
        temp = wide(folder + "." + base + suffix);
        t = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
        error = t == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    }
    if (t == INVALID_HANDLE_VALUE) {
        if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
            return save_in_place(f, text);
        report_write(f.path, errno_of(error));
        return false;
    }
    size_t done = 0;
    bool ok = write_all(t, text.data(), text.size(), 0, &done);
    if (ok) {
        next_step();
        ok = flush(t);
    }
    int err = errno;
    CloseHandle(t);
    if (ok) {
        // Windows will not replace a file this process holds open: the old
        // one is closed first and the new one opened in its place after.
        next_step();
        const std::wstring name = wide(target);
        if (f.fd >= 0) _close(f.fd);
        f.fd = -1;
        if (!MoveFileExW(temp.c_str(), name.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            ok = false;
            err = last_errno();
        }
        HANDLE h = open_for_update(name);
        if (h != INVALID_HANDLE_VALUE) f.fd = adopt(h);
    }
    if (!ok) {
        DeleteFileW(temp.c_str());
        report_write(f.path, err);
        return false;
    }
    return true;
}

void close_record(RecordFile& f) {
    if (f.fd >= 0) _close(f.fd);
    f.fd = -1;
}
