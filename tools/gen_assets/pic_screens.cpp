// The three screen backgrounds: main menu, controls and hall of fame. Every
// static label of a screen is part of its picture; the screens draw only
// their values over it, in white, so the backgrounds stay dark.
#include "pic_parts.h"

namespace {

const Rgb GOLD = hex(0xFFD23F);
const Rgb ORANGE = hex(0xFF8A1E);
const Rgb PALE = hex(0xFFEFC2);
const Rgb HELP = hex(0xC8D2F0);
const Rgb BLACK = {0, 0, 0};

// Night gradient with faint diagonal speed streaks.
void backdrop(Canvas& c, Rgb top, Rgb bottom, uint32_t seed) {
    fill_vgradient(c, 0, 0, float(c.w), float(c.h), top, bottom);
    for (int i = 0; i < 14; ++i) {
        float x = rng_unit(seed) * (c.w + 200) - 100, y = rng_unit(seed) * c.h;
        float len = 60 + 120 * rng_unit(seed);
        fill_capsule(c, {x, y}, {x + len, y - len * 0.18f}, 0.8f + 1.5f * rng_unit(seed),
                     shade(top, 1.25f), 0.12f);
    }
}

// Title lettering: warm gradient letters with a dark outline and shadow.
void title(Canvas& c, const std::string& text, float x, float y, float pt, int align = 0) {
    draw_text_outlined(c, FONT_TITLE, pt, text, x, y, INK, INK, pt * 0.09f, align, pt * 0.08f);
    float h = pt * 1.1f;
    draw_text_fn(
        c, FONT_TITLE, pt, text, x, y,
        [=](float, float py) { return mix(hex(0xFFF3A0), ORANGE, (py - y - h * 0.25f) / h); },
        align);
}

// A panel: rounded frame with a solid inside.
void panel(Canvas& c, float x, float y, float w, float h, Rgb inside, Rgb border) {
    fill_round_rect(c, x - 2, y - 2, w + 4, h + 4, 7, border);
    fill_round_rect(c, x, y, w, h, 5.5f, inside);
}

// One runner in mid-stride, placed and scaled, as decoration.
void runner_figure(Canvas& c, int who, float x, float y, float k, float phase) {
    canvas_transform(c, x, y, k);
    draw_runner(c, who, phase);
    canvas_reset(c);
}

float keycap_width(const std::string& key, float pt) {
    return text_width(FONT_COMIC, pt, key) + pt * 0.8f;
}

float draw_keycap(Canvas& c, float x, float y, const std::string& key, float pt) {
    float w = keycap_width(key, pt);
    float h = pt * 1.45f;
    fill_round_rect(c, x, y + 1, w, h, 3, hex(0x0B0E20));
    fill_round_rect_vgradient(c, x, y, w, h - 0.5f, 3, hex(0xF4F6FB), hex(0xB9C1D6));
    draw_text(c, FONT_COMIC, pt, key, x + w / 2, y + h * 0.06f, INK, 1);
    return w;
}

// One help entry: the keycaps side by side, then what they do. Returns the x
// where the next entry goes.
float draw_key_help(Canvas& c, float x, float y, const std::vector<std::string>& keys,
                    const std::string& what, float pt, Rgb text) {
    for (const std::string& key : keys)
        x += draw_keycap(c, x, y, key, pt) + pt * 0.3f;
    x += pt * 0.1f + draw_text(c, FONT_COMIC, pt, what, x + pt * 0.1f, y + pt * 0.12f, text);
    return x + pt * 1.4f;
}

} // namespace

ArchivePicture make_menu_background() {
    Canvas c = canvas_make(640, 240, 3);
    backdrop(c, hex(0x232A66), hex(0x0A0C22), 4242);
    title(c, "VRILLON", 58, 3, 28);
    draw_text(c, FONT_COMIC, 12, "la course des doigts agiles", 186, 10, HELP);
    draw_text(c, FONT_COMIC, 11, "Joueurs", 104, 32, HELP);

    // Left panel, black inside: the menu erases the arrow (x 60-100, y 50-185)
    // by filling with black, so black is what must be there.
    panel(c, 54, 45, 212, 144, BLACK, hex(0x4E5FA8));
    for (int k = 0; k < PLAYERS; ++k) {
        float y = MENU_ARROW_TOP + float(MENU_ROW_STEP) * k;
        std::string row = std::to_string(k + 1) + (k ? " joueurs" : " joueur");
        draw_text(c, FONT_COMIC, 17, row, 104, text_y_centred(FONT_COMIC, 17, y, 30), PALE);
    }
    draw_text(c, FONT_COMIC, 11, "Périphériques", 232, 32, HELP, 1);

    // Best times: the menu writes them in white, one row per character.
    draw_text(c, FONT_COMIC, 17, "Meilleurs temps", 512, 20, GOLD, 1);
    panel(c, 392, 45, 242, 144, hex(0x0E1230), hex(0x4E5FA8));
    for (int who = 0; who < CHARACTER_COUNT; ++who) {
        float y = MENU_TIME_TOP + float(MENU_TIME_STEP) * who;
        if (who) fill_rect(c, 398, y - 3, 230, 1, hex(0x2A3366));
        canvas_transform(c, 398, y + 1, 26.0f / 30);
        draw_portrait(c, who);
        canvas_reset(c);
        // On the baseline of the time the menu writes beside it (top at y).
        float baseline = y + text_ascent(FONT_COMIC, MENU_FONT_SIZE);
        draw_text(c, FONT_COMIC, 16, CHARACTER_TABLE[who].label, 430,
                  baseline - text_ascent(FONT_COMIC, 16), PALE);
    }

    // Between the panels, the runners on their way, one a row.
    for (int who = 0; who < CHARACTER_COUNT; ++who) {
        float k = who == 2 ? 0.95f : 1.25f;
        runner_figure(c, who, who == 2 ? 292 : 312 + (who % 2) * 14,
                      52 + float(MENU_TIME_STEP - 1) * who, k, 0.2f + 0.23f * who);
    }

    // The fatality option: "ON " / "OFF" written over black.
    draw_text(c, FONT_COMIC, 18, "Fatality :", MENU_OPTION_X - 10,
              text_y_centred(FONT_COMIC, 18, MENU_OPTION_Y, 25), hex(0xFF7A6A), 2);
    panel(c, 206, 199, 58, 33, BLACK, hex(0x8A3A4A));
    float x = 284, y = 195;
    x = draw_key_help(c, x, y, {"F1"}, "plein écran", 11, HELP);
    x = draw_key_help(c, x, y, {"F2"}, "contrôles", 11, HELP);
    draw_key_help(c, x, y, {"F3"}, "hall of fame", 11, HELP);
    x = 284;
    y = 217;
    x = draw_key_help(c, x, y, {"F4"}, "fatality", 11, HELP);
    x = draw_key_help(c, x, y, {"Entrée"}, "jouer", 11, GOLD);
    draw_key_help(c, x, y, {"Alt+F4"}, "quitter", 11, HELP);
    return canvas_to_picture(c, BLACK);
}

ArchivePicture make_controls_background() {
    Canvas c = canvas_make(640, 240, 3);
    backdrop(c, hex(0x173A5A), hex(0x081420), 777);
    title(c, "Contrôles", 10, 2, 22);
    const Rgb caption = hex(0x9FC6E0);
    draw_text(c, FONT_COMIC, 11, "Perso.", 70, 30, caption, 1);
    draw_text(c, FONT_COMIC, 11, "Périph.", 107, 30, caption, 1);
    draw_text(c, FONT_COMIC, 11, "Réglage", 135, 30, caption);
    draw_text(c, FONT_COMIC, 11, "Touche / boutons", 450, 30, caption);
    draw_text(c, FONT_COMIC, 12, "un joueur par ligne, chacun son personnage", 630, 8, caption, 2);

    // One row per player; the screen lays a translucent bar over one.
    const Rgb badge[PLAYERS] = {hex(0x3D8BFF), hex(0xFF5A4E), hex(0xB06CFF), hex(0x4CC85A)};
    const float h = CONTROLS_ROW_HEIGHT;
    for (int r = 0; r < PLAYERS; ++r) {
        float y = CONTROLS_ROW_TOP + float(CONTROLS_ROW_STEP) * r;
        fill_hgradient(c, 0, y, 640, h, hex(0x1E3550), hex(0x132438));
        fill_rect(c, 0, y, 640, 1, hex(0x2E4E70));
        fill_rect(c, 0, y + h - 1, 640, 1, hex(0x0A1626));
        fill_ellipse(c, 28, y + h / 2, 13, 13, INK);
        fill_ellipse_glossy(c, 28, y + h / 2, 11.8f, 11.8f, badge[r]);
        draw_text_outlined(c, FONT_TITLE, 12, "J" + std::to_string(r + 1), 28.5f,
                           text_y_centred(FONT_TITLE, 12, y, h), hex(0xFFFFFF), INK, 0.7f, 1);
    }

    float x = 10, y = 190;
    x = draw_key_help(c, x, y, {"Haut", "Bas"}, "joueur", 11, HELP);
    x = draw_key_help(c, x, y, {"Gauche", "Droite"}, "personnage", 11, HELP);
    draw_key_help(c, x, y, {"Espace"}, "périphérique", 11, HELP);
    x = 10;
    y = 214;
    x += draw_text(c, FONT_COMIC, 11, "Clavier : appuyer sur la touche du joueur.", x, y + 1.3f,
                   HELP) +
         22;
    x +=
        draw_text(c, FONT_COMIC, 11, "Manette : appuyer sur ses deux boutons.", x, y + 1.3f, HELP) +
        22;
    draw_key_help(c, x, y, {"Échap"}, "retour", 11, GOLD);
    return canvas_to_picture(c, BLACK);
}

ArchivePicture make_hall_background() {
    Canvas c = canvas_make(640, 240, 3);
    backdrop(c, hex(0x33194F), hex(0x0E0718), 999);
    // Ten plates in two columns. The screen draws each row from its top
    // (portrait, name, time at y), and the first row at y 0: the plates start 3
    // pixels lower so the top ones stand whole, and each portrait stands up out
    // of its plate like a card in a slot.
    const Rgb medal[3] = {hex(0xFFD23F), hex(0xDCE2EC), hex(0xE39A5C)};
    for (int r = 0; r < 2 * HALL_ROWS_PER_COLUMN; ++r) {
        float x0 = r < HALL_ROWS_PER_COLUMN ? 0 : HALL_COLUMN_X;
        float y = float(HALL_ROW_STEP) * (r % HALL_ROWS_PER_COLUMN);
        float top = y + 3;
        fill_round_rect(c, x0 + 2, top, 268, 31, 6, hex(0x4A3A78));
        fill_round_rect_vgradient(c, x0 + 3, top + 1, 266, 29, 5, hex(0x2A1D48), hex(0x1C1232));
        // The portrait's slot: a dark frame around the 30 x 30 picture.
        fill_rect(c, x0 + HALL_PORTRAIT_X - 1, y, 32, 31, INK);
        Rgb disc = r < 3 ? medal[r] : hex(0x5A4A8A);
        fill_ellipse(c, x0 + 15, top + 15.5f, 12, 12, INK);
        fill_ellipse_glossy(c, x0 + 15, top + 15.5f, 10.8f, 10.8f, disc);
        draw_text(c, FONT_TITLE, 12, std::to_string(r + 1), x0 + 15.3f,
                  text_y_centred(FONT_TITLE, 12, top + 0.5f, 30), r < 3 ? INK : hex(0xFFFFFF), 1);
    }
    // Right band: the cup and the screen's name.
    fill_hgradient(c, 550, 0, 90, 240, hex(0x4A2370), hex(0x2A1244));
    fill_rect(c, 550, 0, 1.5f, 240, hex(0x8A5AC0));
    // Cup.
    std::vector<Pt> bowl = {{572, 14}, {618, 14}, {613, 36}, {603, 44}, {587, 44}, {577, 36}};
    fill_capsule(c, {573, 20}, {566, 27}, 3.2f, INK);
    fill_capsule(c, {617, 20}, {624, 27}, 3.2f, INK);
    fill_capsule(c, {573, 20}, {566, 27}, 1.8f, hex(0xE0A82E));
    fill_capsule(c, {617, 20}, {624, 27}, 1.8f, hex(0xE0A82E));
    outline_poly(c, smooth_closed(bowl, 4), GOLD, INK, 1.3f);
    fill_ellipse(c, 585, 24, 3, 7, hex(0xFFF3B0), 0.15f, 0.8f);
    fill_rect(c, 591, 44, 8, 8, INK);
    fill_rect(c, 592.5f, 44, 5, 8, hex(0xE0A82E));
    fill_round_rect(c, 579, 51, 32, 9, 2, INK);
    fill_round_rect(c, 580.5f, 52.5f, 29, 6, 1.5f, hex(0x8B5A2B));
    fill_ellipse(c, 595, 27, 4.2f, 4.2f, hex(0xE0A82E));
    draw_text(c, FONT_TITLE, 8, "1", 595.3f, 22.6f, hex(0xFFF3B0), 1);
    title(c, "HALL", 595, 70, 21, 1);
    title(c, "OF", 595, 95, 21, 1);
    title(c, "FAME", 595, 120, 21, 1);
    draw_text(c, FONT_COMIC, 12, "Meilleurs", 595, 152, PALE, 1);
    draw_text(c, FONT_COMIC, 12, "temps", 595, 166, PALE, 1);
    draw_keycap(c, 595 - keycap_width("Échap", 11) / 2, 196, "Échap", 11);
    draw_text(c, FONT_COMIC, 11, "retour", 595, 215, HELP, 1);
    draw_text(c, FONT_COMIC, 11, "Les dix meilleurs temps, toutes courses confondues", 275, 220,
              HELP, 1);
    return canvas_to_picture(c, BLACK);
}
