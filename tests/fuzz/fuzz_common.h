// Shared set-up of the fuzz targets: a scratch working directory holding the
// run-time layout, and the input written as one of the game's files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

void fuzz_enter_scratch_dir();
void fuzz_write_file(const char* path, const uint8_t* data, size_t size);
// The whole file, or an empty string when it cannot be read.
std::string fuzz_read_file(const char* path);
