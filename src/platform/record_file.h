// Opening, reading and saving the game's small text files (best times, hall of
// fame, control file): nothing blocks on them for long, reading is bounded, a
// save either replaces the whole file or leaves the old one as it was, and two
// games on the same files take turns to change them. Each operating system
// has its own file for them (record_file_posix.cpp, record_file_win32.cpp):
// the build takes one, beside record_file.cpp, which all systems share.
#pragma once

#include <string>

// Far more than any of the files holds; reading stops there.
constexpr long RECORD_MAX_BYTES = 1L << 20;
// How long an update waits for another game to finish its own before it goes
// ahead without the lock; an update holds it for a few milliseconds.
constexpr long RECORD_LOCK_WAIT_MS = 5000;

enum RecordState {
    RECORD_READ,        // a regular file, its text read
    RECORD_CANNOT_OPEN, // missing, or not even readable
    RECORD_NOT_REGULAR, // a FIFO, a device or a directory: nothing read
    RECORD_READ_FAILED, // a regular file whose reading failed
};

struct RecordFile {
    const char* path;
    int fd; // -1 unless opened
    RecordState state;
    int error;        // errno of the failure, 0 if none
    int readOnly;     // errno of the refused open for writing (a read-only file), 0 if writable
    long long size;   // size of the file when opened
    std::string text; // what was read, at most RECORD_MAX_BYTES
};

// Opens path without blocking and reads a regular file's text, for reading
// alone. A read-only file is read. A read that fails is reported on standard
// error.
RecordFile open_record(const char* path);
// The same for a read, a change and a save: the file's lock is taken first,
// waiting while another game holds it (at most RECORD_LOCK_WAIT_MS), so the
// text read is the latest. Where locks cannot be had (a file system without
// them, a lock held too long) the update goes on without one and says so on
// standard error.
RecordFile open_record_to_update(const char* path);
// Replaces the file's whole text. On failure the old text stays, one line on
// standard error names the file, and the result is false.
bool save_record(RecordFile& file, const std::string& text);
// Closes the file, which lets its lock go.
void close_record(RecordFile& file);

// For tests: called with 1, 2, ... before each step of a save that changes
// something on disk (a file made, a write, a flush to disk, a rename, a cut,
// the folder flushed).
void set_record_save_hook(void (*hook)(int step));
