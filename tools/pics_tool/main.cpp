// pics_tool: packs numbered BMP pictures into the game's picture archive,
// lists an archive, and extracts it back to BMPs, so the game can be reskinned.
#include "archive/archive.h"
#include "archive_pack/archive_pack.h"

#include <SDL/SDL.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// Wider pictures would not fit a 32-bit surface row in the game.
const int MAX_WIDTH = 16383;
// Refuse to load archives beyond this size: no picture set comes near it.
const long MAX_ARCHIVE = 256L * 1024 * 1024;

void usage() {
    fprintf(stderr,
            "usage:\n"
            "  pics_tool pack ARCHIVE IMG0.bmp IMG1.bmp ...   pack BMPs in this order\n"
            "  pics_tool pack ARCHIVE DIR                     pack DIR/00.bmp, DIR/01.bmp, ...\n"
            "  pics_tool list ARCHIVE                         index, offset, width x height\n"
            "  pics_tool extract ARCHIVE DIR                  write DIR/00.bmp, DIR/01.bmp, ...\n"
            "The game reads pics/pics.dat and expects %d pictures (0-%d).\n",
            INDEX_ENTRIES, INDEX_ENTRIES - 1);
}

bool is_dir(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool file_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string numbered(const std::string& dir, int i) {
    char name[32];
    snprintf(name, sizeof name, "/%02d.bmp", i);
    return dir + name;
}

// One entry of an archive as found on disk, damaged or not.
struct Entry {
    uint32_t offset;
    bool header; // width and height could be read
    int32_t width, height;
    bool complete; // every pixel is in the file
};

uint32_t word_at(const std::vector<unsigned char>& d, size_t at) {
    return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 |
           uint32_t(d[at + 3]) << 24;
}

bool load_file(const char* path, std::vector<unsigned char>& data) {
    FILE* f = fopen(path, "rb");
    if (!f) {
        fprintf(stderr, "pics_tool: cannot open %s: %s\n", path, strerror(errno));
        return false;
    }
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    if (size < 0 || size > MAX_ARCHIVE) {
        fprintf(stderr, "pics_tool: %s: unreadable or too large\n", path);
        fclose(f);
        return false;
    }
    rewind(f);
    data.resize(size_t(size));
    bool ok = fread(data.data(), 1, data.size(), f) == data.size();
    fclose(f);
    if (!ok) fprintf(stderr, "pics_tool: cannot read %s\n", path);
    return ok;
}

// Reads the index and every picture header, never past the end of the data.
bool scan_archive(const char* path, const std::vector<unsigned char>& d,
                  std::vector<Entry>& entries) {
    if (d.size() < 4) {
        fprintf(stderr, "pics_tool: %s: too short to hold an index\n", path);
        return false;
    }
    uint32_t indexSize = word_at(d, 0);
    if (indexSize < 4 || indexSize % 4 != 0 || indexSize > d.size()) {
        fprintf(stderr, "pics_tool: %s: damaged index (size word %u, file %zu bytes)\n", path,
                indexSize, d.size());
        return false;
    }
    for (uint32_t i = 0; i < indexSize / 4; ++i) {
        Entry e{word_at(d, 4 * size_t(i)), false, 0, 0, false};
        if (size_t(e.offset) + 8 <= d.size()) {
            e.header = true;
            e.width = int32_t(word_at(d, e.offset));
            e.height = int32_t(word_at(d, size_t(e.offset) + 4));
            long long n = (long long)e.width * e.height;
            e.complete = e.width >= 0 && e.height >= 0 &&
                         (long long)e.offset + 8 + 4 * n <= (long long)d.size();
        }
        entries.push_back(e);
    }
    return true;
}

int cmd_list(const char* path) {
    std::vector<unsigned char> data;
    std::vector<Entry> entries;
    if (!load_file(path, data) || !scan_archive(path, data, entries)) return 1;
    int bad = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if (!e.header) {
            printf("%2zu  offset %10u  (header beyond the end of the file)\n", i, e.offset);
            ++bad;
        } else if (!e.complete) {
            printf("%2zu  offset %10u  %d x %d  (damaged: pixels missing or size invalid)\n", i,
                   e.offset, e.width, e.height);
            ++bad;
        } else {
            printf("%2zu  offset %10u  %d x %d\n", i, e.offset, e.width, e.height);
        }
    }
    if (entries.size() != size_t(INDEX_ENTRIES))
        fprintf(stderr, "pics_tool: note: %zu pictures, the game expects %d\n", entries.size(),
                INDEX_ENTRIES);
    if (bad) fprintf(stderr, "pics_tool: %s: %d damaged picture(s)\n", path, bad);
    return bad ? 1 : 0;
}

int cmd_extract(const char* path, const std::string& dir) {
    std::vector<unsigned char> data;
    std::vector<Entry> entries;
    if (!load_file(path, data) || !scan_archive(path, data, entries)) return 1;
    if (!is_dir(dir) && mkdir(dir.c_str(), 0755) != 0) {
        fprintf(stderr, "pics_tool: cannot create directory %s: %s\n", dir.c_str(),
                strerror(errno));
        return 1;
    }
    int bad = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        std::string out = numbered(dir, int(i));
        if (!e.complete || e.width == 0 || e.height == 0 || e.width > MAX_WIDTH) {
            fprintf(stderr, "pics_tool: picture %zu is damaged or empty, not extracted\n", i);
            ++bad;
            continue;
        }
        ArchivePicture p{e.width, e.height, std::vector<uint32_t>(size_t(e.width) * e.height)};
        for (size_t k = 0; k < p.pixels.size(); ++k)
            p.pixels[k] = word_at(data, size_t(e.offset) + 8 + 4 * k) & 0x00FFFFFFu;
        SDL_Surface* s = surface_from_picture(p);
        if (!s || SDL_SaveBMP(s, out.c_str()) != 0) {
            fprintf(stderr, "pics_tool: cannot write %s: %s\n", out.c_str(), SDL_GetError());
            ++bad;
        }
        if (s) SDL_FreeSurface(s);
    }
    printf("%zu picture(s) extracted to %s\n", entries.size() - size_t(bad), dir.c_str());
    return bad ? 1 : 0;
}

int cmd_pack(const char* archive, const std::vector<std::string>& files) {
    std::vector<ArchivePicture> pictures;
    for (const std::string& file : files) {
        SDL_Surface* s = SDL_LoadBMP(file.c_str());
        if (!s) {
            fprintf(stderr, "pics_tool: cannot load %s: %s\n", file.c_str(), SDL_GetError());
            return 1;
        }
        if (s->w > MAX_WIDTH) {
            fprintf(stderr, "pics_tool: %s is %d pixels wide, the game takes at most %d\n",
                    file.c_str(), s->w, MAX_WIDTH);
            SDL_FreeSurface(s);
            return 1;
        }
        pictures.push_back(picture_from_surface(s));
        SDL_FreeSurface(s);
    }
    if (!write_archive(archive, pictures)) {
        fprintf(stderr, "pics_tool: cannot write %s: %s\n", archive, strerror(errno));
        return 1;
    }
    if (pictures.size() != size_t(INDEX_ENTRIES))
        fprintf(stderr, "pics_tool: note: %zu pictures packed, the game expects %d\n",
                pictures.size(), INDEX_ENTRIES);
    printf("%zu picture(s) packed into %s\n", pictures.size(), archive);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        usage();
        return 2;
    }
    std::string cmd = argv[1];
    if (cmd == "list" && argc == 3) return cmd_list(argv[2]);
    if (cmd == "extract" && argc == 4) return cmd_extract(argv[2], argv[3]);
    if (cmd == "pack" && argc >= 4) {
        std::vector<std::string> files;
        if (argc == 4 && is_dir(argv[3])) {
            for (int i = 0; file_exists(numbered(argv[3], i)); ++i)
                files.push_back(numbered(argv[3], i));
            if (files.empty()) {
                fprintf(stderr, "pics_tool: %s holds no 00.bmp\n", argv[3]);
                return 1;
            }
        } else {
            for (int i = 3; i < argc; ++i)
                files.push_back(argv[i]);
        }
        return cmd_pack(argv[2], files);
    }
    usage();
    return 2;
}
