#include "platform/record_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Writes all of data at offset at; *done tells how much went out before a failure.
bool write_all(int fd, const char* data, size_t size, off_t at, size_t* done) {
    *done = 0;
    while (*done < size) {
        next_step();
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
        next_step();
        ok = ftruncate(f.fd, off_t(text.size())) == 0;
    }
    if (ok) {
        next_step();
        ok = fsync(f.fd) == 0;
    }
    if (ok) return true;
    const int err = errno;
    if (!f.text.empty()) write_all(f.fd, f.text.data(), f.text.size(), 0, &done);
    if (ftruncate(f.fd, f.size) == 0) fsync(f.fd);
    report_write(f.path, err);
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

void set_record_save_hook(void (*hook)(int step)) {
    saveHook = hook;
}

RecordFile open_record(const char* path) {
    RecordFile f{path, -1, RECORD_CANNOT_OPEN, 0, 0, std::string()};
    // Without O_NONBLOCK a FIFO would hold the game until someone wrote to it.
    int fd = open(path, O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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
        report_read(path, f.error);
        return f;
    }
    if (!S_ISREG(st.st_mode)) {
        f.state = RECORD_NOT_REGULAR;
        return f;
    }
    f.size = st.st_size;
    char buf[4096];
    while (long(f.text.size()) < RECORD_MAX_BYTES) {
        size_t want = std::min(sizeof buf, size_t(RECORD_MAX_BYTES - long(f.text.size())));
        ssize_t n = read(fd, buf, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            f.error = errno;
            f.state = RECORD_READ_FAILED;
            report_read(path, f.error);
            return f;
        }
        if (n == 0) break;
        f.text.append(buf, size_t(n));
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
    struct stat st;
    if (fstat(f.fd, &st) != 0) {
        report_write(f.path, errno);
        return false;
    }
    // The new text goes beside the file the path leads to, so a link stays a link.
    std::string target = f.path;
    struct stat link;
    if (lstat(f.path, &link) == 0 && S_ISLNK(link.st_mode)) {
        char* real = realpath(f.path, nullptr);
        if (!real) {
            report_write(f.path, errno);
            return false;
        }
        target = real;
        free(real);
    }
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    std::string temp = slash == std::string::npos ? "" : folder;
    temp += "." + target.substr(slash == std::string::npos ? 0 : slash + 1) + ".XXXXXX";

    next_step();
    int t = mkostemp(&temp[0], O_CLOEXEC);
    if (t < 0) {
        if (errno == EACCES || errno == EPERM || errno == EROFS) return save_in_place(f, text);
        report_write(f.path, errno);
        return false;
    }
    size_t done = 0;
    bool ok =
        write_all(t, text.data(), text.size(), 0, &done) && fchmod(t, st.st_mode & 07777) == 0;
    // The old owner where the player may give it (root, or a change of group
    // only); elsewhere the new file is the player's own, which is no failure.
    if (ok && (st.st_uid != geteuid() || st.st_gid != getegid()) &&
        fchown(t, st.st_uid, st.st_gid) != 0)
        errno = 0;
    if (ok) {
        next_step();
        ok = fsync(t) == 0;
    }
    int err = errno;
    if (close(t) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok) {
        next_step();
        if (rename(temp.c_str(), target.c_str()) != 0) {
            ok = false;
            err = errno;
        }
    }
    if (!ok) {
        unlink(temp.c_str());
        report_write(f.path, err);
        return false;
    }
    next_step();
    sync_folder(folder);
    return true;
}

void close_record(RecordFile& f) {
    if (f.fd >= 0) close(f.fd);
    f.fd = -1;
}
