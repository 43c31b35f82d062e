// A scratch run-time tree: a fresh temporary directory holding its own copies
// of the built pictures, sounds and fonts and of the record-file templates,
// laid out as the game reads them, so a test or a benchmark may damage or
// rewrite any of them without touching the build.
#pragma once

#include <string>

// The parts a tree gets; without the record files it gets an empty data folder.
enum RunTreeParts { RUN_TREE_ASSETS = 1, RUN_TREE_DATA = 2, RUN_TREE_ALL = 3 };

// Where a tree is copied from: a run-time tree's pictures, sounds and fonts,
// and a folder of record files.
struct RunTreeSource {
    std::string gameDir;
    std::string dataDir;
};
// The build's own run-time tree and record-file templates.
RunTreeSource built_run_tree();

// Makes /tmp/NAME-XXXXXX holding the given parts and gives its path, or an
// empty path with the reason on standard error.
std::string run_tree_make(const char* name, int parts = RUN_TREE_ALL,
                          const RunTreeSource& from = built_run_tree());
// Removes a tree run_tree_make made; any other path is left alone.
void run_tree_remove(const std::string& dir);
