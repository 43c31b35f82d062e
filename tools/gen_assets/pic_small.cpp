// Small pictures: the three device icons, the menu arrow and the explosion.
#include "pic_parts.h"

namespace {

// Device icons share a dark tile, so they read the same on the menu's black
// panel and on the controls screen's rows.
Canvas icon_tile() {
    Canvas c = canvas_make(45, 30, 4);
    fill_vgradient(c, 0, 0, 45, 30, hex(0x34406A), hex(0x1A2038));
    fill_rect(c, 0, 0, 45, 1, hex(0x6E80C0));
    fill_rect(c, 0, 29, 45, 1, hex(0x10142A));
    fill_rect(c, 0, 0, 1, 30, hex(0x56679E));
    fill_rect(c, 44, 0, 1, 30, hex(0x10142A));
    return c;
}

// A jagged flame outline around (cx, cy).
std::vector<Pt> flame(float cx, float cy, float r, int points, float depth, uint32_t seed) {
    std::vector<Pt> pts;
    for (int i = 0; i < points * 2; ++i) {
        float a = PI * i / points;
        float rr = i % 2 ? r * (1 - depth) : r * (0.9f + 0.2f * rng_unit(seed));
        pts.push_back({cx + rr * std::cos(a), cy + rr * std::sin(a) * 0.92f});
    }
    return smooth_closed(pts, 4);
}

void smoke_puff(Canvas& c, float x, float y, float r, Rgb col) {
    fill_ellipse(c, x, y, r + 0.6f, r + 0.6f, shade(col, 0.6f));
    fill_ellipse_glossy(c, x, y, r, r, col);
}

void explosion_frame(Canvas& c, int k) {
    const float cx = 15, cy = 15;
    uint32_t seed = 0x9E3779B9u + 977u * k;
    const Rgb WHITE_HOT = hex(0xFFFBE0), YEL = hex(0xFFD93B), ORA = hex(0xFF8A1E),
              RED = hex(0xE0341E), DARK = hex(0x7A1E12);
    const Rgb SMOKE = hex(0x6E6058), SMOKE_LIGHT = hex(0x9C8E84);
    static const float fire[7] = {5.5f, 9.5f, 12.5f, 14.0f, 11.0f, 6.0f, 0.0f};
    static const float smoke[7] = {0.0f, 0.0f, 0.0f, 3.5f, 5.0f, 5.5f, 4.0f};
    // Smoke billows out and rises once the blast peaks.
    if (smoke[k] > 0) {
        int n = k == 6 ? 4 : 7;
        for (int i = 0; i < n; ++i) {
            float a = 2 * PI * i / n + 0.4f * k;
            float d = 5.0f + 2.2f * k - (k == 6 ? 1.5f : 0);
            float r = smoke[k] * (0.75f + 0.4f * rng_unit(seed));
            float px = cx + d * std::cos(a), py = cy + d * std::sin(a) * 0.8f - (k - 3) * 1.5f;
            px = std::min(30 - r - 0.8f, std::max(r + 0.8f, px));
            py = std::min(30 - r - 0.8f, std::max(r + 0.8f, py));
            smoke_puff(c, px, py, r, k >= 5 ? SMOKE_LIGHT : SMOKE);
        }
    }
    float r = fire[k];
    if (r > 0) {
        fill_poly(c, flame(cx, cy, r + 1.0f, 9, 0.3f, seed), DARK);
        fill_poly(c, flame(cx, cy, r, 9, 0.32f, seed), RED);
        fill_poly(c, flame(cx, cy, r * 0.75f, 8, 0.28f, seed + 7), ORA);
        fill_poly(c, flame(cx, cy, r * 0.5f, 7, 0.25f, seed + 13), YEL);
        if (k <= 3) fill_ellipse(c, cx, cy, r * 0.25f + 0.8f, r * 0.25f + 0.8f, WHITE_HOT);
    }
    // Sparks flying out.
    if (k >= 1 && k <= 4) {
        for (int i = 0; i < 8; ++i) {
            float a = 2 * PI * rng_unit(seed);
            float d = 6.0f + 2.2f * k + 2 * rng_unit(seed);
            Pt p = {cx + d * std::cos(a), cy + d * std::sin(a)};
            Pt q = {cx + (d - 2.2f) * std::cos(a), cy + (d - 2.2f) * std::sin(a)};
            fill_capsule(c, p, q, 0.55f, k <= 2 ? YEL : ORA);
        }
    }
}

} // namespace

ArchivePicture make_explosion() {
    // Frame k at columns 31k..31k+29, a one-pixel gap between frames.
    Canvas c = canvas_make(216, 30, 4);
    for (int k = 0; k < 7; ++k) {
        canvas_transform(c, float(31 * k), 0, 1);
        canvas_clip(c, 31 * k, 0, 30, 30);
        explosion_frame(c, k);
    }
    return canvas_to_keyed(c);
}

ArchivePicture make_arrow() {
    Canvas c = canvas_make(40, 30, 4);
    std::vector<Pt> arrow = {{3, 10}, {20, 10}, {20, 3}, {37, 15}, {20, 27}, {20, 20}, {3, 20}};
    outline_poly(c, arrow, hex(0xFFC53A), INK, 1.6f);
    // Upper highlight and a darker lower half for a chunky look.
    std::vector<Pt> lower = {{3, 15.5f}, {37, 15.5f}, {20, 27}, {20, 20}, {3, 20}};
    fill_poly(c, lower, hex(0xF08A1C));
    std::vector<Pt> glint = {{5, 11.6f}, {21.5f, 11.6f}, {21.5f, 6.5f},
                             {32, 14},   {21.5f, 13.5f}, {5, 13.5f}};
    fill_poly(c, glint, hex(0xFFF0A8));
    return canvas_to_keyed(c);
}

ArchivePicture make_keyboard_icon() {
    Canvas c = icon_tile();
    fill_round_rect(c, 3.5f, 6.5f, 38, 19, 3, INK);
    fill_round_rect_vgradient(c, 4.5f, 7.5f, 36, 17, 2.4f, hex(0xF2F4FA), hex(0xB8C0D4));
    for (int row = 0; row < 3; ++row)
        for (int k = 0; k < 8; ++k) {
            float x = 6.3f + k * 4.2f + (row == 1 ? 1.2f : row == 2 ? 2.2f : 0);
            if (x > 36.5f) continue;
            fill_round_rect(c, x, 9.2f + row * 3.6f, 3.2f, 2.8f, 0.6f, hex(0x3A4466));
            fill_rect(c, x + 0.5f, 9.5f + row * 3.6f, 2.2f, 0.8f, hex(0x5E6A92));
        }
    fill_round_rect(c, 12, 20.2f, 21, 2.8f, 0.6f, hex(0x3A4466)); // space bar
    return canvas_to_picture(c, hex(0x000000));
}

ArchivePicture make_joystick_icon() {
    Canvas c = icon_tile();
    // Base.
    fill_round_rect(c, 8, 18, 29, 9, 3.5f, INK);
    fill_round_rect_vgradient(c, 9, 19, 27, 7, 2.8f, hex(0x59627F), hex(0x2C3148));
    fill_ellipse(c, 31, 21.5f, 2.0f, 1.5f, INK);
    fill_ellipse(c, 31, 21.2f, 1.5f, 1.1f, hex(0xFFD23F));
    // Stick leaning a little, red ball on top.
    fill_ellipse(c, 19, 21, 4.5f, 2.0f, INK);
    fill_capsule(c, {19, 21}, {21, 9}, 1.9f, INK);
    fill_capsule(c, {19, 21}, {21, 9}, 1.1f, hex(0xC8CCD8));
    outline_ellipse(c, 21.3f, 7.5f, 4.4f, 4.2f, hex(0xE8322C), INK, 1.0f);
    fill_ellipse(c, 20.0f, 6.2f, 1.3f, 1.0f, hex(0xFFB0A8));
    return canvas_to_picture(c, hex(0x000000));
}

ArchivePicture make_mouse_icon() {
    Canvas c = icon_tile();
    // Cable winding off to the left.
    std::vector<Pt> cable = {{22, 5}, {18, 2.5f}, {12, 4}, {8, 7}, {3, 6}, {-1, 8}};
    stroke_poly(c, cable, 1.3f, INK, false);
    stroke_poly(c, cable, 0.6f, hex(0xB8C0D4), false);
    outline_ellipse(c, 24, 17, 8.5f, 11.0f, hex(0xF4F6FB), INK, 1.1f, 0.18f);
    // Left button lit: the one the game listens to.
    paint(
        c, 14, 5, 26, 17,
        [](float x, float y) {
            float dx = x - 24, dy = y - 17;
            float u = dx * std::cos(0.18f) + dy * std::sin(0.18f);
            float v = -dx * std::sin(0.18f) + dy * std::cos(0.18f);
            return u * u / (8.5f * 8.5f) + v * v / 121.0f <= 1 && v < -1.5f && u < -0.3f;
        },
        Flat{hex(0x5FB4FF)});
    fill_capsule(c, {23.2f, 6.5f}, {24.4f, 15.4f}, 0.5f, INK);
    fill_capsule(c, {17.0f, 14.6f}, {31.0f, 17.0f}, 0.45f, INK);
    fill_ellipse(c, 20.5f, 22.0f, 2.2f, 3.2f, hex(0xFFFFFF), 0.18f, 0.7f);
    return canvas_to_picture(c, hex(0x000000));
}
