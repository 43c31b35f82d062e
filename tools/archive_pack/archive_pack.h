// Writing archives: used by the asset generator and the archive tool.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>
#include <vector>

struct ArchivePicture {
    int32_t width;
    int32_t height;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, row by row
};

// Writes the index (4 x count bytes of offsets) then each picture. False on error.
bool write_archive(const char* path, const std::vector<ArchivePicture>& pictures);
// Reads every picture of an archive (as many as its word 0 announces).
bool read_archive(const char* path, std::vector<ArchivePicture>& pictures);
// Converts a surface to 0x00RRGGBB words, and back to a new 32-bit surface.
ArchivePicture picture_from_surface(SDL_Surface* s);
SDL_Surface* surface_from_picture(const ArchivePicture& p);
