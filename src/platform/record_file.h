// Opening, reading and saving the game's small text files (best times, hall of
// fame, control file): nothing blocks on them, reading is bounded, and a save
// either replaces the whole file or leaves the old one as it was.
#pragma once

#include <string>
#include <sys/types.h>

// Far more than any of the files holds; reading stops there.
constexpr long RECORD_MAX_BYTES = 1L << 20;

enum RecordState {
    RECORD_READ,        // a regular file opened for update, its text read
    RECORD_CANNOT_OPEN, // missing, or not open for update
    RECORD_NOT_REGULAR, // a FIFO, a device or a directory: nothing read
    RECORD_READ_FAILED, // a regular file whose reading failed
};

struct RecordFile {
    const char* path;
    int fd; // -1 unless opened
    RecordState state;
    int error;        // errno of the failure, 0 if none
    off_t size;       // size of the file when opened
    std::string text; // what was read, at most RECORD_MAX_BYTES
};

// Opens path for update without blocking and reads a regular file's text. A
// read that fails is reported on standard error.
RecordFile open_record(const char* path);
// Replaces the file's whole text. On failure the old text stays, one line on
// standard error names the file, and the result is false.
bool save_record(RecordFile& file, const std::string& text);
void close_record(RecordFile& file);

// For tests: called with 1, 2, ... before each step of a save that changes
// something on disk (a file made, a write, a flush to disk, a rename, a cut,
// the folder flushed).
void set_record_save_hook(void (*hook)(int step));
