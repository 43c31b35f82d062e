// The record files on Windows, with the same promises as on POSIX
// (record_file.h; record_file.cpp holds what the two share): nothing blocks on them for long,
// reading is bounded, a save leaves either the old file or the new one, and two games on the same
// files take turns to change them.
//
// A save writes the new text to a file beside the old one, flushes it to the
// disk and puts it in the old one's place with MoveFileExW, through to the
// disk before it returns. Windows will not replace a file that is open, so the
// turns are kept by a named mutex of the machine, one per file, rather than by
// a lock on the file itself; a game that dies lets its mutex go. Paths are
// UTF-8, turned into Windows' wide strings.
#include "platform/record_file.h"
#include "platform/record_file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <io.h>
#include <string>
#include <vector>
#include <windows.h>

namespace {

// The C library's number for a Windows error, so the messages read as on POSIX.
int errno_of(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
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
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    default:
        return EIO;
    }
}

int last_errno() {
    return errno_of(GetLastError());
}

bool refused(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ||
           error == ERROR_SHARING_VIOLATION;
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

// Opens an existing file; other programs may read and write it, and replace
// it once it is closed.
HANDLE open_existing(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int adopt(HANDLE h) {
    int fd = _open_osfhandle(intptr_t(h), 0);
    if (fd < 0) CloseHandle(h);
    return fd;
}

// Opens for update where the file allows it, else for reading alone; *denied
// gets why writing was refused (0 when the file is writable).
// A file marked read-only is read alone, whoever the player is.
HANDLE open_file(const std::wstring& path, int* denied) {
    *denied = 0;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    int err = EACCES;
    HANDLE h = INVALID_HANDLE_VALUE;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) {
        h = open_existing(path, GENERIC_READ | GENERIC_WRITE);
        if (h != INVALID_HANDLE_VALUE || !refused(GetLastError())) return h;
        err = last_errno();
    }
    h = open_existing(path, GENERIC_READ);
    if (h != INVALID_HANDLE_VALUE) *denied = err;
    return h;
}

// ---- The turns: a named mutex per file, held from the update's opening to
// its closing.

struct HeldTurn {
    int fd;
    HANDLE mutex;
};
std::vector<HeldTurn> heldTurns;

// The mutex's name: the file's full path, in one case, hashed to fit.
std::wstring turn_name(const char* path) {
    const std::wstring name = wide(path);
    std::wstring full(MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(name.c_str(), DWORD(full.size()), &full[0], nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = GetFullPathNameW(name.c_str(), DWORD(full.size()), &full[0], nullptr);
    }
    full.resize(n < full.size() ? n : 0);
    if (full.empty()) full = name;
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : full) {
        if (c == L'/') c = L'\\';
        hash = (hash ^ uint64_t(towlower(c))) * 1099511628211ull;
    }
    wchar_t text[64];
    swprintf(text, 64, L"Local\\vrillon-record-%016llx", (unsigned long long)hash);
    return text;
}

// Waits at most RECORD_LOCK_WAIT_MS for the file's turn; null when it cannot
// be had, with the reason in *err.
HANDLE take_turn(const char* path, int* err) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, turn_name(path).c_str());
    if (!mutex) {
        *err = last_errno();
        return nullptr;
    }
    switch (WaitForSingleObject(mutex, RECORD_LOCK_WAIT_MS)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED: // a game that died in its turn: its save left old or new
        return mutex;
    case WAIT_TIMEOUT:
        *err = EAGAIN;
        break;
    default:
        *err = last_errno();
        break;
    }
    CloseHandle(mutex);
    return nullptr;
}

void hold_turn(int fd, HANDLE mutex) {
    if (mutex) heldTurns.push_back(HeldTurn{fd, mutex});
}

void move_turn(int from, int to) {
    for (HeldTurn& t : heldTurns)
        if (t.fd == from) t.fd = to;
}

void end_turn(int fd) {
    for (size_t i = 0; i < heldTurns.size(); ++i) {
        if (heldTurns[i].fd != fd) continue;
        ReleaseMutex(heldTurns[i].mutex);
        CloseHandle(heldTurns[i].mutex);
        heldTurns.erase(heldTurns.begin() + long(i));
        return;
    }
}

// ---- Writing.

// Writes all of data at offset at; *done tells how much went out before a failure.
bool write_all(HANDLE h, const char* data, size_t size, long long at, size_t* done) {
    *done = 0;
    while (*done < size) {
        record_next_step();
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

// The folder cannot take a new file, or the old one cannot be replaced, but
// the file itself is writable: one write over the old text, padded with
// spaces to the old length as on POSIX. A failure puts the old bytes back.
bool save_in_place(RecordFile& f, const std::string& text) {
    HANDLE h = handle_of(f.fd);
    std::string out = text;
    if (off_t(out.size()) < f.size && f.size <= RECORD_MAX_BYTES) out.resize(size_t(f.size), ' ');
    size_t done = 0;
    bool ok = write_all(h, out.data(), out.size(), 0, &done);
    if (ok && f.size > off_t(text.size())) {
        record_next_step();
        ok = cut_at(h, (long long)text.size());
    }
    if (ok) {
        record_next_step();
        ok = flush(h);
    }
    if (ok) return true;
    const int err = errno;
    if (!f.text.empty()) write_all(h, f.text.data(), f.text.size(), 0, &done);
    if (cut_at(h, f.size)) flush(h);
    record_report_write(f.path, err);
    return false;
}

} // namespace

// ---- Reading.

// Opens path and finds what it is; a regular file's text is read apart.
RecordFile record_open_unread(const char* path) {
    RecordFile f{path, -1, RECORD_CANNOT_OPEN, 0, 0, 0, std::string()};
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        f.error = EISDIR;
        f.state = RECORD_NOT_REGULAR;
        return f;
    }
    HANDLE h = open_file(name, &f.readOnly);
    if (h == INVALID_HANDLE_VALUE) {
        f.error = last_errno();
        return f;
    }
    // Names such as CON or NUL open devices, which hold no records.
    const DWORD type = GetFileType(h);
    LARGE_INTEGER size;
    const bool sized = GetFileSizeEx(h, &size);
    const int sizeError = sized ? 0 : last_errno();
    f.fd = adopt(h);
    if (f.fd < 0) {
        f.error = EMFILE;
        return f;
    }
    if (type != FILE_TYPE_DISK) {
        f.state = RECORD_NOT_REGULAR;
        return f;
    }
    if (!sized) {
        f.error = sizeError;
        f.state = RECORD_READ_FAILED;
        record_report_read(path, f.error);
        return f;
    }
    f.size = off_t(size.QuadPart);
    f.state = RECORD_READ;
    return f;
}

void record_read_text(RecordFile& f) {
    if (f.state != RECORD_READ) return;
    HANDLE h = handle_of(f.fd);
    char buf[4096];
    while (long(f.text.size()) < RECORD_MAX_BYTES) {
        DWORD want = DWORD(std::min(sizeof buf, size_t(RECORD_MAX_BYTES - long(f.text.size()))));
        DWORD n = 0;
        if (!ReadFile(h, buf, want, &n, nullptr)) {
            f.error = last_errno();
            f.state = RECORD_READ_FAILED;
            f.text.clear();
            record_report_read(f.path, f.error);
            return;
        }
        if (n == 0) break;
        f.text.append(buf, n);
    }
}

RecordFile open_record_to_update(const char* path) {
    int err = 0;
    HANDLE turn = take_turn(path, &err);
    if (!turn) fprintf(stderr, "Erreur de verrouillage du fichier %s : %s\n", path, strerror(err));
    RecordFile f = record_open_unread(path);
    // Only a file this game may save over keeps its turn.
    if (f.state == RECORD_READ && !f.readOnly) {
        hold_turn(f.fd, turn);
    } else if (turn) {
        ReleaseMutex(turn);
        CloseHandle(turn);
    }
    record_read_text(f);
    return f;
}

bool save_record(RecordFile& f, const std::string& text) {
    record_steps_begin();
    if (record_save_refused(f)) return false;
    const std::string target = f.path;
    const size_t slash = target.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    // A name of its own beside the file, as mkstemp would make.
    record_next_step();
    std::wstring temp;
    HANDLE t = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    unsigned seed = unsigned(GetTickCount()) ^ (unsigned(GetCurrentProcessId()) << 16);
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
        if (refused(error)) return save_in_place(f, text);
        record_report_write(f.path, errno_of(error));
        return false;
    }
    size_t done = 0;
    bool ok = write_all(t, text.data(), text.size(), 0, &done);
    if (ok) {
        record_next_step();
        ok = flush(t);
    }
    int err = errno;
    CloseHandle(t);
    if (!ok) {
        DeleteFileW(temp.c_str());
        record_report_write(f.path, err);
        return false;
    }
    // The old file is closed for the move and opened again after it; the turn
    // stays held throughout.
    record_next_step();
    const std::wstring name = wide(target);
    const int closed = f.fd;
    if (f.fd >= 0) _close(f.fd);
    f.fd = -1;
    const bool moved =
        MoveFileExW(temp.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    error = moved ? ERROR_SUCCESS : GetLastError();
    HANDLE h = open_existing(name, GENERIC_READ | GENERIC_WRITE);
    if (h != INVALID_HANDLE_VALUE) f.fd = adopt(h);
    move_turn(closed, f.fd);
    if (moved) return true;
    DeleteFileW(temp.c_str());
    // Another program holds the old file open and will not let it be
    // replaced, but it may still be written.
    if (refused(error) && f.fd >= 0) return save_in_place(f, text);
    record_report_write(f.path, errno_of(error));
    return false;
}

void close_record(RecordFile& f) {
    end_turn(f.fd);
    if (f.fd >= 0) _close(f.fd);
    f.fd = -1;
}
