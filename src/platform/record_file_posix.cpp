#include "platform/record_file.h"
#include "platform/record_file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// ---- The system's own calls, kept to these few functions.

// Opens for update where the file allows it, else for reading alone; *refused
// gets why writing was refused (0 when the file is writable).
int open_file(const char* path, int* refused) {
    *refused = 0;
    // Without O_NONBLOCK a FIFO would hold the game until someone wrote to it.
    const int flags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = open(path, O_RDWR | flags);
    if (fd >= 0 || (errno != EACCES && errno != EROFS && errno != EPERM && errno != ETXTBSY))
        return fd;
    const int err = errno;
    fd = open(path, O_RDONLY | flags);
    if (fd >= 0) *refused = err;
    return fd;
}

long monotonic_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return long(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

enum LockResult { LOCK_TAKEN, LOCK_BUSY, LOCK_UNSUPPORTED };

// The file's exclusive lock, tried again every few milliseconds while another
// game holds it, until the monotonic clock reaches deadline.
LockResult lock_file(int fd, long deadline, int* err) {
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) return LOCK_TAKEN;
        if (errno == EINTR) continue;
        *err = errno;
        if (errno != EWOULDBLOCK) return LOCK_UNSUPPORTED;
        if (monotonic_ms() >= deadline) return LOCK_BUSY;
        timespec pause = {0, 5 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
}

// Whether path still leads to the open file: a save renames a new file over
// the old one, whose lock then guards nothing.
bool same_file(int fd, const char* path) {
    struct stat open_one, named;
    if (fstat(fd, &open_one) != 0 || stat(path, &named) != 0) return true;
    return open_one.st_dev == named.st_dev && open_one.st_ino == named.st_ino;
}

// Gives the new file the old one's owner and group where the player may. Root
// may give both; a player only a group of their own, so the group is tried
// alone when both are refused: in a folder shared by a group of players the
// next one can still write the file. Elsewhere the new file is the player's
// own, which is no failure.
void keep_owner(int fd, const struct stat& old) {
    struct stat now;
    if (fstat(fd, &now) != 0 || (now.st_uid == old.st_uid && now.st_gid == old.st_gid)) return;
    if (fchown(fd, old.st_uid, old.st_gid) == 0 || now.st_gid == old.st_gid) return;
    if (fchown(fd, uid_t(-1), old.st_gid) != 0) errno = 0;
}

// ---- Saving and reading, over those calls; what every system shares is in
// record_file.cpp.

// Writes all of data at offset at; *done tells how much went out before a failure.
bool write_all(int fd, const char* data, size_t size, off_t at, size_t* done) {
    *done = 0;
    while (*done < size) {
        record_next_step();
        ssize_t n = pwrite(fd, data + *done, size - *done, at + off_t(*done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        *done += size_t(n);
    }
    return true;
}

// The folder cannot take a new file but the file itself is writable: one write
// over the old text. A shorter text is padded with spaces to the old length,
// which every reader of these files skips, so the file reads right even if the
// game stops before the cut. A failure puts the old bytes back.
bool save_in_place(RecordFile& f, const std::string& text) {
    std::string out = text;
    if (off_t(out.size()) < f.size && f.size <= RECORD_MAX_BYTES) out.resize(size_t(f.size), ' ');
    size_t done = 0;
    bool ok = write_all(f.fd, out.data(), out.size(), 0, &done);
    if (ok && f.size > off_t(text.size())) {
        record_next_step();
        ok = ftruncate(f.fd, off_t(text.size())) == 0;
    }
    if (ok) {
        record_next_step();
        ok = fsync(f.fd) == 0;
    }
    if (ok) return true;
    const int err = errno;
    if (!f.text.empty()) write_all(f.fd, f.text.data(), f.text.size(), 0, &done);
    if (ftruncate(f.fd, f.size) == 0) fsync(f.fd);
    record_report_write(f.path, err);
    return false;
}

// Flushes the folder's entry for a file just renamed into it. The new text is
// already in place by then, so a folder that cannot be flushed is left alone.
void sync_folder(const std::string& folder) {
    int d = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d < 0) return;
    fsync(d);
    close(d);
}

} // namespace

// Opens path and finds what it is; a regular file's text is read apart.
RecordFile record_open_unread(const char* path) {
    RecordFile f{path, -1, RECORD_CANNOT_OPEN, 0, 0, 0, std::string()};
    int fd = open_file(path, &f.readOnly);
    if (fd < 0) {
        f.error = errno;
        // A folder is there but cannot be opened for update: as unreadable as a FIFO.
        if (errno == EISDIR) f.state = RECORD_NOT_REGULAR;
        return f;
    }
    f.fd = fd;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        f.error = errno;
        f.state = RECORD_READ_FAILED;
        record_report_read(path, f.error);
        return f;
    }
    if (!S_ISREG(st.st_mode)) {
        f.state = RECORD_NOT_REGULAR;
        return f;
    }
    f.size = st.st_size;
    f.state = RECORD_READ;
    return f;
}

void record_read_text(RecordFile& f) {
    if (f.state != RECORD_READ) return;
    char buf[4096];
    while (long(f.text.size()) < RECORD_MAX_BYTES) {
        size_t want = std::min(sizeof buf, size_t(RECORD_MAX_BYTES - long(f.text.size())));
        ssize_t n = read(f.fd, buf, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            f.error = errno;
            f.state = RECORD_READ_FAILED;
            f.text.clear();
            record_report_read(f.path, f.error);
            return;
        }
        if (n == 0) break;
        f.text.append(buf, size_t(n));
    }
}

RecordFile open_record_to_update(const char* path) {
    const long deadline = monotonic_ms() + RECORD_LOCK_WAIT_MS;
    for (int attempt = 0;; ++attempt) {
        RecordFile f = record_open_unread(path);
        // Only a file this game may save over is worth the wait.
        if (f.state == RECORD_READ && !f.readOnly) {
            int err = 0;
            if (lock_file(f.fd, deadline, &err) != LOCK_TAKEN) {
                fprintf(stderr, "Erreur de verrouillage du fichier %s : %s\n", path, strerror(err));
            } else if (!same_file(f.fd, path) && attempt < 50) {
                close_record(f); // the file another game has just saved
                continue;
            } else {
                // An update in place by another game may have changed its length.
                struct stat st;
                if (fstat(f.fd, &st) == 0) f.size = st.st_size;
            }
        }
        record_read_text(f);
        return f;
    }
}

bool save_record(RecordFile& f, const std::string& text) {
    record_steps_begin();
    if (record_save_refused(f)) return false;
    struct stat st;
    if (fstat(f.fd, &st) != 0) {
        record_report_write(f.path, errno);
        return false;
    }
    // The new text goes beside the file the path leads to, so a link stays a link.
    std::string target = f.path;
    struct stat link;
    if (lstat(f.path, &link) == 0 && S_ISLNK(link.st_mode)) {
        char* real = realpath(f.path, nullptr);
        if (!real) {
            record_report_write(f.path, errno);
            return false;
        }
        target = real;
        free(real);
    }
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    std::string temp = slash == std::string::npos ? "" : folder;
    temp += "." + target.substr(slash == std::string::npos ? 0 : slash + 1) + ".XXXXXX";

    record_next_step();
    int t = mkostemp(&temp[0], O_CLOEXEC);
    if (t < 0) {
        if (errno == EACCES || errno == EPERM || errno == EROFS) return save_in_place(f, text);
        record_report_write(f.path, errno);
        return false;
    }
    size_t done = 0;
    bool ok = write_all(t, text.data(), text.size(), 0, &done);
    if (ok) {
        keep_owner(t, st);
        ok = fchmod(t, st.st_mode & 07777) == 0;
    }
    if (ok) {
        record_next_step();
        ok = fsync(t) == 0;
    }
    int err = errno;
    if (close(t) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok) {
        record_next_step();
        if (rename(temp.c_str(), target.c_str()) != 0) {
            ok = false;
            err = errno;
            // A folder with the sticky bit (a shared /tmp-like folder) refuses
            // to replace another player's file, which may still be writable.
            if (err == EPERM || err == EACCES) {
                unlink(temp.c_str());
                return save_in_place(f, text);
            }
        }
    }
    if (!ok) {
        unlink(temp.c_str());
        record_report_write(f.path, err);
        return false;
    }
    record_next_step();
    sync_folder(folder);
    return true;
}

void close_record(RecordFile& f) {
    if (f.fd >= 0) close(f.fd);
    f.fd = -1;
}
