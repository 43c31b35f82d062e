// The race's pictures: the track, the board of best times under it, and the
// chronometer plate.
#include "pic_parts.h"

namespace {

const Rgb LINE_WHITE = hex(0xF6F2EA);
const Rgb CINDER = hex(0xD6A872);

const float START_X = 84;   // every runner's front at the start
const float FINISH_X = 984; // fronts finish at screen 584 once scrolled by 400

void cloud(Canvas& c, float x, float y, float w) {
    const Rgb white = hex(0xFFFFFF);
    fill_ellipse(c, x, y, w * 0.5f, w * 0.16f, white, 0, 0.8f);
    fill_ellipse(c, x - w * 0.15f, y - w * 0.1f, w * 0.22f, w * 0.17f, white, 0, 0.8f);
    fill_ellipse(c, x + w * 0.12f, y - w * 0.14f, w * 0.26f, w * 0.2f, white, 0, 0.8f);
}

void sky_and_stands(Canvas& c, int width) {
    fill_vgradient(c, 0, 0, float(width), 32, hex(0xB9E0FF), hex(0xEAF6FF));
    uint32_t seed = 12345;
    for (int i = 0; i < width / 130; ++i) {
        float x = 40 + i * 130 + 60 * rng_unit(seed);
        cloud(c, x, 10 + 12 * rng_unit(seed), 40 + 30 * rng_unit(seed));
    }
    // Grandstand: pale tiers with a light crowd, kept light under the texts.
    fill_vgradient(c, 0, 30, float(width), 20, hex(0xE9E4DA), hex(0xD9D2C4));
    fill_rect(c, 0, 29.5f, float(width), 1, hex(0xC9C1B0));
    const Rgb crowd[6] = {hex(0xF4A7A0), hex(0xA7C8F4), hex(0xF4E0A0),
                          hex(0xB9E4B0), hex(0xE0B9F0), hex(0xF8C8A0)};
    const Rgb skin[3] = {hex(0xF2D0B0), hex(0xD8A880), hex(0xA87858)};
    for (int tier = 0; tier < 3; ++tier) {
        float ty = 34 + tier * 5.5f;
        fill_rect(c, 0, ty + 3.2f, float(width), 0.8f, hex(0xCBC3B3));
        for (float x = 2 + tier * 2.5f; x < width; x += 4.6f + 1.4f * rng_unit(seed)) {
            if (rng_unit(seed) < 0.12f) continue; // empty seats
            Rgb shirt = crowd[rng_next(seed) % 6];
            float jump = rng_unit(seed) < 0.15f ? -1.0f : 0;
            fill_ellipse(c, x, ty + 2.6f + jump, 1.9f, 1.4f, shirt);
            fill_ellipse(c, x, ty + 0.4f + jump, 1.2f, 1.2f, skin[rng_next(seed) % 3]);
            if (jump < 0)
                fill_capsule(c, {x + 1.2f, ty + 1.8f + jump}, {x + 2.2f, ty - 1.2f + jump}, 0.45f,
                             shirt);
        }
    }
    // Advertising boards along the track, in soft colours.
    fill_rect(c, 0, 49, float(width), 6, hex(0xFAFAF6));
    const Rgb board[4] = {hex(0xFFE2D6), hex(0xDDEBFF), hex(0xFFF4C9), hex(0xE2F5DA)};
    const char* words[4] = {"VRILLON", "ALLEZ !", "TARN WYVERN", "PLUS VITE"};
    for (int i = 0; i * 110 < width; ++i) {
        float x = i * 110.0f + 2;
        fill_rect(c, x, 49.5f, 106, 5.2f, board[i % 4]);
        draw_text(c, FONT_TITLE, 5.5f, words[i % 4], x + 53, 49.6f, hex(0xA89C94), 1);
    }
    fill_rect(c, 0, 48.5f, float(width), 0.8f, hex(0xBDB5A6));
    // Grass strip between the boards and the track.
    fill_rect(c, 0, 55, float(width), 3.5f, hex(0x5DBB4A));
    for (float x = 0; x < width; x += 12)
        fill_rect(c, x, 55, 6, 3.5f, hex(0x6CC958));
}

void track(Canvas& c, int width) {
    fill_rect(c, 0, 58, float(width), 122, CINDER);
    // Speckled cinder surface.
    uint32_t seed = 777;
    for (int i = 0; i < width * 7; ++i) {
        float x = rng_unit(seed) * width, y = 58 + rng_unit(seed) * 122;
        bool light = rng_unit(seed) < 0.5f;
        fill_rect(c, x, y, 1, 1, light ? hex(0xE6BD88) : hex(0xB88A58), 0.6f);
    }
    // Lanes in two alternating tones, each a touch lighter at its top.
    for (int l = 0; l < CHARACTER_COUNT; ++l) {
        Rgb base = l % 2 ? CINDER : shade(CINDER, 0.94f);
        fill_rect(c, 0, LANE_EDGES[l], float(width), LANE_EDGES[l + 1] - LANE_EDGES[l], base, 0.7f);
        fill_vgradient(c, 0, LANE_EDGES[l], float(width), 5, shade(base, 1.08f), base);
    }
    for (float e : LANE_EDGES)
        fill_rect(c, 0, e - 0.75f, float(width), 1.5f, LINE_WHITE);
    fill_rect(c, 0, LANE_EDGES[CHARACTER_COUNT], float(width), 1.5f, LINE_WHITE);
}

void lane_numbers(Canvas& c, float x) {
    for (int l = 0; l < CHARACTER_COUNT; ++l) {
        float mid = (LANE_EDGES[l] + LANE_EDGES[l + 1]) / 2;
        draw_text_outlined(c, FONT_TITLE, 20, std::to_string(l + 1), x,
                           text_y_centred(FONT_TITLE, 20, mid - 15, 30), LINE_WHITE,
                           shade(CINDER, 0.7f), 1.0f, 1);
    }
}

void flag(Canvas& c, float x, float y, Rgb col) {
    fill_capsule(c, {x, y}, {x, y + 26}, 0.8f, hex(0x6A6A78));
    std::vector<Pt> f = {{x + 0.5f, y}, {x + 13, y + 2.5f}, {x + 0.5f, y + 8}};
    outline_poly(c, f, col, INK, 0.6f);
}

void checkers(Canvas& c, float x, float y, float w, float h, float cell) {
    for (int j = 0; j * cell < h; ++j)
        for (int i = 0; i * cell < w; ++i)
            fill_rect(c, x + i * cell, y + j * cell, std::min(cell, w - i * cell),
                      std::min(cell, h - j * cell), (i + j) % 2 ? INK : LINE_WHITE);
}

} // namespace

ArchivePicture make_terrain() {
    const int W = 1040;
    Canvas c = canvas_make(W, 180, 2);
    sky_and_stands(c, W);
    track(c, W);
    // Start: lane numbers behind the line, a green flag above it.
    lane_numbers(c, 36);
    fill_rect(c, START_X, 58, 3, 121, LINE_WHITE);
    flag(c, START_X + 1.5f, 28, hex(0x4CD45A));
    // Marks every hundred pixels along the bottom edge.
    for (int x = 184; x < FINISH_X; x += 100)
        fill_rect(c, float(x), 174, 1.5f, 4.5f, LINE_WHITE);
    // Finish: checkered line across the lanes, an arch over the stands.
    checkers(c, FINISH_X, 58, 8, 121, 4);
    lane_numbers(c, 1016);
    fill_rect(c, FINISH_X - 38, 30, 3, 28, hex(0x5A5A68));
    fill_rect(c, FINISH_X + 45, 30, 3, 28, hex(0x5A5A68));
    fill_round_rect(c, FINISH_X - 44, 31, 98, 15, 3, INK);
    checkers(c, FINISH_X - 43, 32, 96, 13, 3.25f);
    fill_round_rect(c, FINISH_X - 26, 33, 62, 11, 2, hex(0xFFFFFF));
    draw_text(c, FONT_TITLE, 9, "Arrivée", FINISH_X + 5, 33.2f, hex(0xD0302A), 1);
    return canvas_to_picture(c, hex(0xFFFFFF));
}

ArchivePicture make_board() {
    Canvas c = canvas_make(BOARD_WIDTH, BOARD_HEIGHT, 3);
    fill_vgradient(c, 0, 0, BOARD_WIDTH, BOARD_HEIGHT, hex(0xFDF8EC), hex(0xEADFC3));
    fill_rect(c, 0, 0, 640, 1.5f, INK);
    fill_rect(c, 0, 29.6f, 640, 0.8f, hex(0xD6C9A6));
    // Title block with a little cup.
    fill_round_rect(c, 4, 5, 86, 50, 6, hex(0x2B2450));
    draw_text(c, FONT_TITLE, 11, "MEILLEURS", 47, 15, hex(0xFFD23F), 1);
    draw_text(c, FONT_TITLE, 11, "TEMPS", 47, 30, hex(0xFFD23F), 1);
    // Each character's label and portrait left of where the race writes its best time.
    for (int who = 0; who < CHARACTER_COUNT; ++who) {
        float x = float(CHARACTER_TABLE[who].bestTimeX), y = float(CHARACTER_TABLE[who].bestTimeY);
        float name = draw_text(c, FONT_COMIC, 15, CHARACTER_TABLE[who].label, x - 9, y + 4,
                               hex(0x2B2450), 2);
        canvas_transform(c, x - 9 - name - 28, y + 3, 24.0f / 30);
        draw_portrait(c, who);
        canvas_reset(c);
        fill_round_rect(c, x - 5, y + 2.5f, 100, 25, 5, hex(0xB8A880));
        fill_round_rect(c, x - 4, y + 3.5f, 98, 23, 4.5f, hex(0xFFFFFF));
    }
    fill_rect(c, 320, 5, 1, 50, hex(0xD6C9A6));
    return canvas_to_picture(c, hex(0xFFFFFF));
}

ArchivePicture make_chrono() {
    Canvas c = canvas_make(120, 30, 4);
    fill_round_rect(c, 0, 0, 120, 30, 6, INK);
    fill_round_rect_vgradient(c, 1.2f, 1.2f, 117.6f, 27.6f, 5, hex(0xFFF6DC), hex(0xF0DDA8));
    // White window where the running time is written (x 40 onwards).
    fill_round_rect(c, 36, 3, 81, 24, 4, hex(0xC9B27A));
    fill_round_rect(c, 37, 4, 79, 22, 3.5f, hex(0xFFFFFF));
    // Stopwatch.
    fill_rect(c, 15, 1.5f, 5, 3, INK);
    fill_rect(c, 16, 2, 3, 2.5f, hex(0xC8CCD8));
    outline_ellipse(c, 17.5f, 16, 10.5f, 10.5f, hex(0xD8DCE6), INK, 1.0f);
    fill_ellipse(c, 17.5f, 16, 8.2f, 8.2f, hex(0xFFFFFF));
    for (int i = 0; i < 12; ++i) {
        float a = i * PI / 6;
        fill_capsule(c, {17.5f + 6.8f * std::sin(a), 16 - 6.8f * std::cos(a)},
                     {17.5f + 7.6f * std::sin(a), 16 - 7.6f * std::cos(a)}, 0.35f, INK);
    }
    fill_capsule(c, {17.5f, 16}, {21.5f, 11.5f}, 0.7f, hex(0xD0302A));
    fill_capsule(c, {17.5f, 16}, {17.5f, 10.5f}, 0.6f, INK);
    fill_ellipse(c, 17.5f, 16, 1.2f, 1.2f, INK);
    return canvas_to_picture(c, hex(0xE0DAD0)); // corners: the stands behind
}
