// Between record_file.cpp, the record files' part that is the same on every
// system, and the system's own file (record_file_posix.cpp or
// record_file_win32.cpp).
#pragma once

#include "platform/record_file.h"

// The system's own file gives these.
// Opens path without blocking and finds what it is; nothing is read yet.
RecordFile record_open_unread(const char* path);
// Reads a regular file's text, at most RECORD_MAX_BYTES; a failure is said.
void record_read_text(RecordFile& f);

// record_file.cpp gives these.
// A save begins: its steps count from 1 again.
void record_steps_begin();
// The next step of a save that changes something on disk (the tests' hook).
void record_next_step();
void record_report_read(const char* path, int err);
void record_report_write(const char* path, int err);
// Whether the file cannot be saved over (read-only, not a regular file, not
// read or not opened); true once the reason has been said.
bool record_save_refused(const RecordFile& f);
