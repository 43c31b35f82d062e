// The record files' part that is the same on every system: reading alone, the
// messages, the files a save must leave alone and the save's steps for the
// tests. The rest is the system's own (record_file_posix.cpp,
// record_file_win32.cpp).
#include "platform/record_file.h"
#include "platform/record_file_system.h"

#include <cstdio>
#include <cstring>

namespace {
void (*saveHook)(int step) = nullptr;
int saveStep = 0;
} // namespace

void set_record_save_hook(void (*hook)(int step)) {
    saveHook = hook;
}

void record_steps_begin() {
    saveStep = 0;
}

void record_next_step() {
    ++saveStep;
    if (saveHook) saveHook(saveStep);
}

void record_report_read(const char* path, int err) {
    fprintf(stderr, "Erreur de lecture du fichier %s : %s\n", path, strerror(err));
}

void record_report_write(const char* path, int err) {
    fprintf(stderr, "Erreur d'écriture du fichier %s : %s\n", path, strerror(err));
}

bool record_save_refused(const RecordFile& f) {
    switch (f.state) {
    case RECORD_READ:
        if (!f.readOnly) return false;
        record_report_write(f.path, f.readOnly);
        return true;
    case RECORD_NOT_REGULAR:
        fprintf(stderr, "Erreur d'écriture du fichier %s : ce n'est pas un fichier ordinaire\n",
                f.path);
        return true;
    case RECORD_READ_FAILED: // already said when it was read
        return true;
    case RECORD_CANNOT_OPEN:
        record_report_write(f.path, f.error);
        return true;
    }
    return true;
}

RecordFile open_record(const char* path) {
    RecordFile f = record_open_unread(path);
    record_read_text(f);
    return f;
}
