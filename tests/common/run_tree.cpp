#include "common/run_tree.h"

#include "common/scratch_folder.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
bool copy_part(const std::string& from, const std::string& to) {
    std::error_code err;
    fs::copy(from, to, fs::copy_options::recursive, err);
    if (err)
        fprintf(stderr, "copy of %s to %s failed: %s\n", from.c_str(), to.c_str(),
                err.message().c_str());
    return !err;
}
} // namespace

RunTreeSource built_run_tree() {
    return RunTreeSource{VRILLON_GAME_DIR, VRILLON_TEMPLATE_DIR "/data"};
}

std::string run_tree_make(const char* name, int parts, const RunTreeSource& from) {
    // Every tree lives under one prefix, so that removal can never reach further.
    const std::string dir = strncmp(name, "vrillon", 7) == 0 ? make_scratch_folder(name) : "";
    if (dir.empty()) {
        fprintf(stderr, "cannot make a scratch tree %s\n", name);
        return "";
    }
    bool ok = true;
    if (parts & RUN_TREE_ASSETS)
        for (const char* part : {"/pics", "/sounds", "/font"})
            ok = ok && copy_part(from.gameDir + part, dir + part);
    if (parts & RUN_TREE_DATA) {
        ok = ok && copy_part(from.dataDir, dir + "/data");
    } else {
        std::error_code err;
        ok = ok && fs::create_directory(dir + "/data", err);
    }
    if (!ok) {
        fprintf(stderr, "cannot lay out the scratch tree %s\n", dir.c_str());
        run_tree_remove(dir);
        return "";
    }
    return dir;
}

void run_tree_remove(const std::string& dir) {
    const std::string prefix = scratch_prefix();
    if (dir.compare(0, prefix.size(), prefix) != 0) return;
    std::error_code err;
    fs::remove_all(dir, err);
    if (err) fprintf(stderr, "cleanup of %s failed: %s\n", dir.c_str(), err.message().c_str());
}
