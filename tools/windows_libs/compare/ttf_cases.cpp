// Every text the game draws, at its fonts, sizes and styles, every Latin-1
// character alone and every pair of printable ASCII ones (the kerning), the
// styles the game does not use, and the failures (no library, a missing or
// damaged font, an empty text), rendered by whichever SDL_ttf this is built
// against.
//
//   ttf_probe write|compare FILE COMIC_FONT TITLE_FONT SCRATCH_DIR
//
// SCRATCH_DIR takes the damaged fonts: one of its own for each probe, as the
// two run side by side.

#include "probe.h"

#include <SDL/SDL_ttf.h>

#include <string>

namespace {

struct FontUse {
    const char* label;
    int face; // 0 the lettering font (comic.ttf), 1 the title font (hackslsh.ttf)
    int size;
    int style;
    bool pairs; // every pair of printable ASCII characters
};

// The game's own: race and hall (20 bold), controls (15 bold), menu (20),
// new record (40) and its keys hint (15), intro title (150).
// clang-format off
const FontUse GAME_FONTS[] = {
    {"comic 20 bold", 0, 20, TTF_STYLE_BOLD, true},
    {"comic 15 bold", 0, 15, TTF_STYLE_BOLD, true},
    {"comic 20", 0, 20, TTF_STYLE_NORMAL, true},
    {"comic 40", 0, 40, TTF_STYLE_NORMAL, true},
    {"comic 15", 0, 15, TTF_STYLE_NORMAL, true},
    {"title 150", 1, 150, TTF_STYLE_NORMAL, false},
};
// clang-format on

// Styles the game leaves alone, on both faces: the lettering face is bold
// already, the title face is not, so both ways of each style are drawn.
const FontUse OTHER_STYLES[] = {
    {"title 20", 1, 20, TTF_STYLE_NORMAL, true},
    {"title 20 bold", 1, 20, TTF_STYLE_BOLD, true},
    {"title 40 bold", 1, 40, TTF_STYLE_BOLD, false},
    {"title 150 bold", 1, 150, TTF_STYLE_BOLD, false},
    {"title 20 italic", 1, 20, TTF_STYLE_ITALIC, false},
    {"title 40 bold italic", 1, 40, TTF_STYLE_BOLD | TTF_STYLE_ITALIC, false},
    {"title 20 underline", 1, 20, TTF_STYLE_UNDERLINE, false},
    {"title 20 strikethrough", 1, 20, TTF_STYLE_STRIKETHROUGH, false},
    {"comic 20 italic", 0, 20, TTF_STYLE_ITALIC, false},
    {"comic 40 underline strikethrough", 0, 40, TTF_STYLE_UNDERLINE | TTF_STYLE_STRIKETHROUGH,
     false},
    {"comic 9", 0, 9, TTF_STYLE_NORMAL, false},
    {"comic 72", 0, 72, TTF_STYLE_NORMAL, false},
    {"title 11", 1, 11, TTF_STYLE_NORMAL, false},
};

// What the screens write (Latin-1): times as "%.3f", the countdown, the race's
// end hint, the controls screen's rows, the menu's option, hall names, the
// new-record lines and hint, the intro's title.
const char* const GAME_TEXTS[] = {
    "0",
    "1",
    "2",
    "3",
    "GO!",
    "0.000",
    "12.345",
    "7.890",
    "59.999",
    "1000.000",
    "99999.000",
    "\311chap : continuer",
    "touche clavier",
    "touche : a",
    "touche : z",
    "touche : 0",
    "touche :  ",
    "souris",
    "clic gauche",
    "bouton 1 ",
    "et 2 ",
    "bouton 10 ",
    "et 11 ",
    "?",
    "Microsoft X-Box 360 pad",
    "ON ",
    "OFF",
    "aaa",
    "---",
    "a__",
    "zzz",
    "nouveau classement : 1",
    "nouveau classement : 10",
    "Haut/Bas : lettre   Gauche/Droite : curseur   Entr\351e : enregistrer",
    "Tarn Wyvern",
};

const SDL_Color WHITE = {255, 255, 255, 0};
const SDL_Color BLACK = {0, 0, 0, 0};
const SDL_Color ORANGE = {230, 120, 30, 0};

std::string printable_latin1() {
    std::string s;
    for (int c = 0x20; c <= 0xFF; ++c)
        if (c < 0x7F || c >= 0xA0) s += char(c);
    return s;
}

std::string hex_name(const std::string& text) {
    std::string out;
    char buf[4];
    for (unsigned char c : text) {
        snprintf(buf, sizeof buf, "%02x", c);
        out += buf;
    }
    return out;
}

void render_case(Probe& p, TTF_Font* font, const std::string& label, const std::string& text,
                 SDL_Color colour, const char* colourName) {
    probe_begin(p, label + " [" + hex_name(text) + "] " + colourName);
    int w = -1, h = -1;
    int sized = TTF_SizeText(font, text.c_str(), &w, &h);
    Sint64 size[] = {sized, w, h};
    probe_bytes(p, "TTF_SizeText", size, sizeof size);
    SDL_Surface* s = TTF_RenderText_Solid(font, text.c_str(), colour);
    probe_surface(p, s);
    SDL_FreeSurface(s);
    probe_end(p);
}

void font_cases(Probe& p, const FontUse& use, const char* const faces[2]) {
    std::string label = use.label;
    probe_begin(p, label + " open");
    TTF_Font* font = TTF_OpenFont(faces[use.face], use.size);
    probe_int(p, "opened", font != nullptr);
    if (!font) {
        probe_text(p, "error", TTF_GetError());
        probe_end(p);
        return;
    }
    TTF_SetFontStyle(font, use.style);
    Sint64 metrics[] = {TTF_GetFontStyle(font), TTF_FontHeight(font), TTF_FontAscent(font),
                        TTF_FontDescent(font), TTF_FontLineSkip(font)};
    probe_bytes(p, "style, height, ascent, descent, line skip", metrics, sizeof metrics);
    probe_end(p);

    for (const char* text : GAME_TEXTS) {
        render_case(p, font, label, text, WHITE, "white");
        render_case(p, font, label, text, BLACK, "black");
    }
    render_case(p, font, label, printable_latin1(), WHITE, "white");
    render_case(p, font, label, printable_latin1(), ORANGE, "orange");
    for (int c = 1; c <= 255; ++c)
        render_case(p, font, label, std::string(1, char(c)), WHITE, "white");
    // A run of each character: the glyphs' edges meet their own.
    for (int c = 0x21; c <= 0xFF; ++c)
        if (c < 0x7F || c >= 0xA0)
            render_case(p, font, label, std::string(3, char(c)), WHITE, "white");
    if (use.pairs)
        for (int a = 0x20; a < 0x7F; ++a)
            for (int b = 0x20; b < 0x7F; ++b)
                render_case(p, font, label, std::string{char(a), char(b)}, WHITE, "white");
    // The style switched back and forth on the open font.
    TTF_SetFontStyle(font, TTF_STYLE_BOLD | TTF_STYLE_ITALIC);
    TTF_SetFontStyle(font, use.style);
    render_case(p, font, label + " restyled", "Tarn Wyvern 12.345", WHITE, "white");
    TTF_CloseFont(font);
}

bool write_file(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

std::string read_file(const char* path) {
    std::string bytes;
    FILE* f = fopen(path, "rb");
    if (!f) return bytes;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    fclose(f);
    return bytes;
}

void open_failure_case(Probe& p, const std::string& name, const std::string& path) {
    probe_begin(p, name);
    SDL_SetError("none");
    TTF_Font* font = TTF_OpenFont(path.c_str(), 20);
    probe_int(p, "opened", font != nullptr);
    probe_text(p, "error", font ? "" : TTF_GetError());
    if (font) {
        for (const char* text : {"Tarn Wyvern", "abc", "0.000"}) {
            SDL_SetError("none");
            SDL_Surface* s = TTF_RenderText_Solid(font, text, WHITE);
            probe_surface(p, s);
            SDL_FreeSurface(s);
        }
        TTF_CloseFont(font);
    }
    probe_end(p);
}

void library_cases(Probe& p, const char* const faces[2], const std::string& scratch) {
    probe_begin(p, "no library yet");
    probe_int(p, "TTF_WasInit", TTF_WasInit());
    SDL_SetError("none");
    TTF_Font* font = TTF_OpenFont(faces[0], 20);
    probe_int(p, "opened", font != nullptr);
    probe_text(p, "error", TTF_GetError());
    if (font) TTF_CloseFont(font);
    probe_end(p);

    probe_begin(p, "counted starts");
    Sint64 counts[6];
    counts[0] = TTF_Init();
    counts[1] = TTF_WasInit();
    counts[2] = TTF_Init();
    counts[3] = TTF_WasInit();
    TTF_Quit();
    counts[4] = TTF_WasInit();
    TTF_Quit();
    counts[5] = TTF_WasInit();
    probe_bytes(p, "init, count, init, count, count after quit, after quit", counts, sizeof counts);
    TTF_Quit(); // one too many does nothing
    probe_int(p, "after one quit too many", TTF_WasInit());
    probe_end(p);

    TTF_Init();
    // Its name is in the message: the same for both probes.
    open_failure_case(p, "missing font", "no such folder/no such font.ttf");
    std::string damaged[2] = {read_file(faces[0]), read_file(faces[1])};
    for (int face = 0; face < 2; ++face) {
        const std::string& whole = damaged[face];
        size_t cuts[] = {0, 12, 100, 1000, whole.size() / 2, whole.size() - 100};
        for (size_t cut : cuts) {
            std::string path = scratch + "/cut.ttf";
            if (cut > whole.size() || !write_file(path, whole.substr(0, cut))) continue;
            open_failure_case(p, "face " + std::to_string(face) + " cut at " + std::to_string(cut),
                              path);
        }
        std::string garbage = whole;
        for (size_t i = 200; i < garbage.size(); i += 97)
            garbage[i] = char(garbage[i] ^ 0x5A);
        std::string path = scratch + "/garbage.ttf";
        if (write_file(path, garbage))
            open_failure_case(p, "face " + std::to_string(face) + " scrambled", path);
    }
    std::string text_path = scratch + "/text.ttf";
    if (write_file(text_path, "not a font\n")) open_failure_case(p, "a text file", text_path);

    probe_begin(p, "empty text");
    font = TTF_OpenFont(faces[0], 20);
    if (font) {
        SDL_SetError("none");
        SDL_Surface* s = TTF_RenderText_Solid(font, "", WHITE);
        probe_surface(p, s);
        SDL_FreeSurface(s);
        int w = -1, h = -1;
        Sint64 sizes[] = {TTF_SizeText(font, "", &w, &h), w, h};
        probe_bytes(p, "TTF_SizeText of nothing", sizes, sizeof sizes);
        TTF_CloseFont(font);
    }
    probe_end(p);
    TTF_Quit();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        fprintf(stderr, "usage: %s write|compare FILE COMIC_FONT TITLE_FONT SCRATCH_DIR\n",
                argv[0]);
        return 2;
    }
    Probe p;
    if (!probe_open(p, argv[1], argv[2])) return 2;
    const char* const faces[2] = {argv[3], argv[4]};
    SDL_Init(0);
    library_cases(p, faces, argv[5]);
    if (TTF_Init() != 0) {
        fprintf(stderr, "TTF_Init: %s\n", TTF_GetError());
        return 2;
    }
    for (const FontUse& use : GAME_FONTS)
        font_cases(p, use, faces);
    for (const FontUse& use : OTHER_STYLES)
        font_cases(p, use, faces);
    TTF_Quit();
    SDL_Quit();
    return probe_close(p, "SDL_ttf");
}
