#include "support/session_run.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

void write_file(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
}

bool file_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool sanitizer_report(const std::string& err) {
    return err.find("AddressSanitizer") != std::string::npos ||
           err.find("LeakSanitizer") != std::string::npos ||
           err.find("runtime error:") != std::string::npos;
}

std::vector<FinishTrace> finishes_in(const std::string& err) {
    std::vector<FinishTrace> found;
    std::istringstream lines(err);
    std::string line;
    while (std::getline(lines, line)) {
        FinishTrace f;
        if (sscanf(line.c_str(), "finish %d %lf", &f.character, &f.time_ms) == 2)
            found.push_back(f);
    }
    return found;
}
