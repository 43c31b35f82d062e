#include "common/scratch_folder.h"

#include <cstdlib>

std::string scratch_prefix() {
    return "/tmp/vrillon";
}

std::string make_scratch_folder(const char* name) {
    std::string pattern = std::string("/tmp/") + name + "-XXXXXX";
    return mkdtemp(&pattern[0]) ? pattern : std::string();
}
