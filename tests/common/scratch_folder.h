// Where scratch trees are made: each system has its own temporary folder
// (scratch_folder_posix.cpp, scratch_folder_win32.cpp).
#pragma once

#include <string>

// The beginning every scratch folder's path shares, so that a removal can
// never reach further.
std::string scratch_prefix();
// Makes a fresh folder named NAME-XXXXXX (NAME starting with "vrillon") in the
// temporary folder and gives its path, or an empty path.
std::string make_scratch_folder(const char* name);
