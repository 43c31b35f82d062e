#include "probe.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Cases whose difference is printed in full (PROBE_SHOWN, 40 by default);
// the rest are only counted.
long shown_cases() {
    const char* v = getenv("PROBE_SHOWN");
    return v ? atol(v) : 40;
}

void put_string(FILE* f, const std::string& s) {
    Uint32 n = Uint32(s.size());
    fwrite(&n, sizeof n, 1, f);
    if (n) fwrite(s.data(), 1, n, f);
}

bool get_string(FILE* f, std::string& s) {
    Uint32 n = 0;
    if (fread(&n, sizeof n, 1, f) != 1 || n > (1u << 30)) return false;
    s.resize(n);
    return n == 0 || fread(&s[0], 1, n, f) == n;
}

void describe_difference(const Probe& p, const ProbeField& mine, const std::string& theirs) {
    if (mine.name != "pixels") {
        printf("  %s: %zu bytes here, %zu in the file%s\n", mine.name.c_str(), mine.bytes.size(),
               theirs.size(), mine.bytes.size() == theirs.size() ? ", contents differ" : "");
        // Numbers (the shapes, the counts) as numbers, anything else as text.
        bool numbers = mine.name != "palette" && mine.bytes.size() % 8 == 0 &&
                       theirs.size() % 8 == 0 && mine.bytes.size() <= 160 && theirs.size() <= 160;
        for (int side = 0; side < 2; ++side) {
            const std::string& b = side ? theirs : mine.bytes;
            printf("    %s:", side ? "file" : "here");
            if (numbers) {
                for (size_t i = 0; i + 8 <= b.size(); i += 8) {
                    Sint64 v;
                    memcpy(&v, b.data() + i, 8);
                    printf(" %lld", (long long)v);
                }
            } else if (b.size() <= 160) {
                for (unsigned char c : b)
                    printf(c >= 0x20 && c < 0x7F ? "%c" : "\\x%02x", c);
            }
            printf("\n");
        }
        return;
    }
    size_t n = mine.bytes.size() < theirs.size() ? mine.bytes.size() : theirs.size();
    long differ = 0;
    size_t first = n;
    for (size_t i = 0; i < n; ++i)
        if (mine.bytes[i] != theirs[i]) {
            if (!differ) first = i;
            ++differ;
        }
    printf("  pixels: %ld of %zu bytes differ (sizes %zu here, %zu in the file)", differ, n,
           mine.bytes.size(), theirs.size());
    if (differ) printf(", first at byte %zu", first);
    printf("\n");
    (void)p;
}

} // namespace

bool probe_open(Probe& p, const char* mode, const char* file) {
    p = Probe{};
    if (strcmp(mode, "write") != 0 && strcmp(mode, "compare") != 0) {
        fprintf(stderr, "mode must be write or compare, not %s\n", mode);
        return false;
    }
    p.writing = mode[0] == 'w';
    if (strcmp(file, "-") == 0) {
        p.file = p.writing ? stdout : stdin;
    } else {
        p.file = fopen(file, p.writing ? "wb" : "rb");
    }
    if (!p.file) {
        fprintf(stderr, "cannot open %s\n", file);
        return false;
    }
    return true;
}

void probe_begin(Probe& p, const std::string& name) {
    if (getenv("PROBE_TRACE")) fprintf(stderr, "%s\n", name.c_str());
    p.name = name;
    p.fieldCount = 0;
    SDL_ClearError(); // an error recorded is this case's own
}

void probe_bytes(Probe& p, const char* field, const void* data, size_t size) {
    if (p.fieldCount >= 32) {
        fprintf(stderr, "case %s: too many fields\n", p.name.c_str());
        p.broken = true;
        return;
    }
    ProbeField& f = p.fields[p.fieldCount++];
    f.name = field;
    f.bytes.assign(static_cast<const char*>(data), size);
}

void probe_int(Probe& p, const char* field, long value) {
    Sint64 v = value;
    probe_bytes(p, field, &v, sizeof v);
}

void probe_text(Probe& p, const char* field, const char* text) {
    probe_bytes(p, field, text ? text : "(null)", text ? strlen(text) : 6);
}

void probe_surface(Probe& p, SDL_Surface* s) {
    if (!s) {
        probe_text(p, "null, error", SDL_GetError());
        return;
    }
    ++p.surfaces;
    const SDL_PixelFormat* f = s->format;
    Sint64 shape[] = {s->w,     s->h,           s->pitch,       f->BitsPerPixel, f->Rmask,
                      f->Gmask, f->Bmask,       f->Amask,       s->flags,        f->colorkey,
                      f->alpha, s->clip_rect.x, s->clip_rect.y, s->clip_rect.w,  s->clip_rect.h};
    probe_bytes(p, "size, format, flags, key, alpha, clip", shape, sizeof shape);
    if (f->palette) {
        probe_int(p, "palette size", f->palette->ncolors);
        probe_bytes(p, "palette", f->palette->colors,
                    size_t(f->palette->ncolors) * sizeof(SDL_Color));
    }
    SDL_LockSurface(s);
    size_t bytes = size_t(s->pitch) * size_t(s->h);
    probe_bytes(p, "pixels", s->pixels, bytes);
    SDL_UnlockSurface(s);
    p.pixelBytes += long(bytes);
}

void probe_end(Probe& p) {
    ++p.cases;
    if (p.writing) {
        put_string(p.file, p.name);
        Uint32 n = Uint32(p.fieldCount);
        fwrite(&n, sizeof n, 1, p.file);
        for (int i = 0; i < p.fieldCount; ++i) {
            put_string(p.file, p.fields[i].name);
            put_string(p.file, p.fields[i].bytes);
        }
        return;
    }
    if (p.broken) return;
    std::string name;
    Uint32 n = 0;
    if (!get_string(p.file, name) || fread(&n, sizeof n, 1, p.file) != 1) {
        printf("the file ends before case %s\n", p.name.c_str());
        p.broken = true;
        return;
    }
    if (name != p.name) {
        printf("case %s here, %s in the file: the two probes differ\n", p.name.c_str(),
               name.c_str());
        p.broken = true;
        return;
    }
    std::vector<ProbeField> theirs(n);
    for (Uint32 i = 0; i < n; ++i)
        if (!get_string(p.file, theirs[i].name) || !get_string(p.file, theirs[i].bytes)) {
            printf("the file ends inside case %s\n", p.name.c_str());
            p.broken = true;
            return;
        }
    // Fields in the same order under the same names: a case may hold
    // several surfaces.
    bool differs = false;
    bool shown = false;
    size_t count = theirs.size() > size_t(p.fieldCount) ? theirs.size() : size_t(p.fieldCount);
    for (size_t i = 0; i < count; ++i) {
        const ProbeField* mine = i < size_t(p.fieldCount) ? &p.fields[i] : nullptr;
        const ProbeField* other = i < theirs.size() ? &theirs[i] : nullptr;
        if (mine && other && mine->name == other->name && mine->bytes == other->bytes) continue;
        differs = true;
        bool same_field = mine && other && mine->name == other->name;
        if (same_field && mine->name == "pixels") {
            size_t m =
                mine->bytes.size() < other->bytes.size() ? mine->bytes.size() : other->bytes.size();
            for (size_t k = 0; k < m; ++k)
                if (mine->bytes[k] != other->bytes[k]) ++p.differingBytes;
        }
        if (p.differingCases >= shown_cases()) continue;
        if (!shown) printf("case %s differs:\n", p.name.c_str());
        shown = true;
        if (same_field) {
            describe_difference(p, *mine, other->bytes);
        } else {
            printf("  field %zu: \"%s\" here, \"%s\" in the file\n", i,
                   mine ? mine->name.c_str() : "(none)", other ? other->name.c_str() : "(none)");
            for (const ProbeField* f : {mine, other})
                if (f && f->name == "null, error")
                    printf("    %s: %s\n", f == mine ? "here" : "file", f->bytes.c_str());
        }
    }
    if (differs) ++p.differingCases;
}

int probe_close(Probe& p, const char* what) {
    if (!p.writing && !p.broken) {
        char c;
        if (fread(&c, 1, 1, p.file) == 1) {
            printf("the file has more cases than these\n");
            p.broken = true;
        }
    }
    fclose(p.file);
    if (p.writing) {
        // Standard output may be the file.
        fprintf(stderr, "%s: %ld cases written (%ld surfaces, %ld pixel bytes)\n", what, p.cases,
                p.surfaces, p.pixelBytes);
        return 0;
    }
    printf("%s: %ld cases compared (%ld surfaces, %ld pixel bytes): %ld differ (%ld pixel bytes)\n",
           what, p.cases, p.surfaces, p.pixelBytes, p.differingCases, p.differingBytes);
    return (p.differingCases || p.broken) ? 1 : 0;
}
