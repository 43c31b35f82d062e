// The four runners: portraits and running strips, in one cartoon style (thick
// dark outlines, flat colours with a soft highlight).
#include "pic_parts.h"

namespace {

const float LINE = 0.75f; // outline thickness of the running figures

// Palette.
const Rgb SKIN = hex(0xF2C08A);
const Rgb BLUE = hex(0x2F78E8);
const Rgb BLUE_HAIR = hex(0x1E4FC4);
const Rgb WHITE = hex(0xF8F8F4);
const Rgb CYAN = hex(0x5FE0F0);
const Rgb IMP_RED = hex(0xE2433A);
const Rgb IMP_BELLY = hex(0xFFB35C);
const Rgb YELLOW = hex(0xFFD23F);
const Rgb HORN = hex(0xFFE08A);
const Rgb BIRD = hex(0x8A4FD8);
const Rgb BIRD_DARK = hex(0x5E2FA8);
const Rgb BIRD_LIGHT = hex(0xC9A6FF);
const Rgb BEAK = hex(0xFF9A1F);
const Rgb TEAL = hex(0x25C4B0);
const Rgb TROLL = hex(0x6DB545);
const Rgb TROLL_DARK = hex(0x3F7A28);
const Rgb VEST = hex(0x8B5A2B);
const Rgb PANTS = hex(0x4A3B6B);
const Rgb TUSK = hex(0xFFF6D8);

Pt add(Pt a, float len, float angle) {
    return {a.x + len * std::sin(angle), a.y + len * std::cos(angle)};
}

// Two-segment limb (upper, lower) with one outline around both.
void limb(Canvas& c, Pt a, Pt b, Pt e, float r, Rgb col) {
    fill_capsule(c, a, b, r + LINE, INK);
    fill_capsule(c, b, e, r + LINE, INK);
    fill_capsule(c, a, b, r, col);
    fill_capsule(c, b, e, r * 0.92f, col);
}

// An eye looking to the right: white, pupil, glint.
void eye(Canvas& c, float x, float y, float rx, float ry, float look) {
    fill_ellipse(c, x, y, rx + 0.35f, ry + 0.35f, INK);
    fill_ellipse(c, x, y, rx, ry, WHITE);
    fill_ellipse(c, x + look, y + 0.1f, rx * 0.55f, ry * 0.62f, INK);
    if (rx >= 1.5f)
        fill_ellipse(c, x + look + rx * 0.2f, y - ry * 0.25f, rx * 0.2f, ry * 0.2f, WHITE);
}

struct LegPose {
    Pt hip, knee, ankle;
    float shin; // angle of the lower leg
};

// Run cycle of one leg; phase 0..1. Angles: 0 straight down, positive forward.
LegPose leg_pose(Pt hip, float thigh, float shin, float phase, float swing, bool bird) {
    float a = swing * std::sin(2 * PI * phase);
    float flex = 0.15f + 1.5f * std::max(0.0f, std::cos(2 * PI * phase + 0.35f));
    LegPose p;
    p.hip = hip;
    p.knee = add(hip, thigh, a);
    // A bird's visible joint is its ankle, which folds the other way.
    p.shin = bird ? a + flex * 0.8f - 0.2f : a - flex;
    p.ankle = add(p.knee, shin, p.shin);
    return p;
}

void shoe(Canvas& c, Pt ankle, float shin_angle, float len, float hgt, Rgb col, Rgb sole) {
    float dir = (-shin_angle + PI / 2) * 0.55f + PI / 2 * 0.45f; // forward, half across the shin
    Pt centre = {ankle.x + 0.35f * len * std::sin(dir), ankle.y + 0.35f * len * std::cos(dir)};
    float ang = dir - PI / 2;
    fill_ellipse(c, centre.x, centre.y, len * 0.62f + LINE, hgt + LINE, INK, -ang);
    fill_ellipse(c, centre.x, centre.y, len * 0.62f, hgt, col, -ang);
    fill_ellipse(c, centre.x + 0.3f * std::sin(-ang), centre.y + hgt * 0.55f, len * 0.5f,
                 hgt * 0.35f, sole, -ang);
}

struct ArmPose {
    Pt shoulder, elbow, hand;
};

ArmPose arm_pose(Pt shoulder, float upper, float fore, float phase, float swing) {
    float s = -swing * std::sin(2 * PI * phase);
    ArmPose p;
    p.shoulder = shoulder;
    p.elbow = add(shoulder, upper, s);
    p.hand = add(p.elbow, fore, s + 1.7f);
    return p;
}

// ---- 0: the blue sprinter ----

void sprinter_head(Canvas& c, Pt h, float r, float wind) {
    // Ponytail streaming behind, drawn first so the head covers its root.
    std::vector<Pt> tail = {{h.x - r * 0.5f, h.y - r * 0.75f},
                            {h.x - r * 1.8f, h.y - r * (1.0f + wind)},
                            {h.x - r * 2.3f, h.y - r * (0.45f + wind)},
                            {h.x - r * 1.4f, h.y - r * 0.2f},
                            {h.x - r * 0.6f, h.y - r * 0.05f}};
    outline_poly(c, smooth_closed(tail, 6), BLUE_HAIR, INK, LINE);
    outline_ellipse(c, h.x, h.y, r, r, SKIN, INK, LINE);
    // Hair over the top and the back of the head, the face left clear.
    paint(
        c, h.x - r - 1, h.y - r - 1, h.x + r + 1, h.y + r,
        [&](float x, float y) {
            float dx = x - h.x, dy = y - h.y;
            return dx * dx + dy * dy <= r * r &&
                   (dy < -r * 0.38f + dx * 0.2f || (dx < -r * 0.3f && dy < r * 0.35f));
        },
        Flat{BLUE_HAIR});
    fill_capsule(c, {h.x - r * 0.55f, h.y - r * 0.62f}, {h.x + r * 0.1f, h.y - r * 0.8f}, r * 0.1f,
                 hex(0x5F9BFF));
    // Headband across the brow.
    paint(
        c, h.x - r, h.y - r, h.x + r, h.y + r,
        [&](float x, float y) {
            float dx = x - h.x, dy = y - h.y;
            float band = -r * 0.5f + dx * 0.2f;
            return dx * dx + dy * dy <= r * r && dy > band && dy < band + r * 0.3f;
        },
        Flat{YELLOW});
    fill_ellipse(c, h.x - r * 0.15f, h.y + r * 0.2f, r * 0.2f, r * 0.26f, shade(SKIN, 0.8f));
    fill_ellipse(c, h.x + r * 0.48f, h.y + r * 0.02f, r * 0.16f, r * 0.28f, INK);
    fill_capsule(c, {h.x + r * 0.4f, h.y + r * 0.55f}, {h.x + r * 0.8f, h.y + r * 0.45f}, r * 0.08f,
                 INK);
}

void draw_sprinter(Canvas& c, float phase) {
    float bounce = -0.7f * std::cos(4 * PI * phase);
    Pt hip = {11.0f, 15.3f + bounce};
    float lean = 0.32f;
    Pt shoulder = add(hip, 6.2f, PI - lean);
    Pt head = add(shoulder, 4.6f, PI - lean * 0.5f);
    // Far limbs, shaded.
    ArmPose fa = arm_pose(add(shoulder, 0.8f, 0), 3.4f, 3.2f, phase + 0.5f, 1.0f);
    limb(c, fa.shoulder, fa.elbow, fa.hand, 1.05f, shade(SKIN, 0.8f));
    LegPose fl = leg_pose(hip, 5.0f, 5.2f, phase + 0.5f, 0.8f, false);
    limb(c, fl.hip, fl.knee, fl.ankle, 1.35f, shade(SKIN, 0.8f));
    shoe(c, fl.ankle, fl.shin, 4.4f, 1.2f, shade(WHITE, 0.8f), shade(CYAN, 0.7f));
    // Shorts and vest.
    fill_capsule2(c, hip, shoulder, 3.0f + LINE, 3.3f + LINE, INK);
    fill_capsule2(c, hip, shoulder, 3.0f, 3.3f, BLUE);
    fill_ellipse(c, hip.x + 0.2f, hip.y - 0.3f, 3.3f, 2.2f, hex(0x16307A), -lean);
    fill_capsule(c, add(hip, 1.8f, PI - lean), add(shoulder, 1.2f, -lean), 0.55f, WHITE);
    // Near leg and shoe.
    LegPose nl = leg_pose(hip, 5.0f, 5.2f, phase, 0.8f, false);
    limb(c, nl.hip, nl.knee, nl.ankle, 1.4f, SKIN);
    fill_capsule(c, nl.hip, add(nl.hip, 2.0f, nl.knee.x > nl.hip.x ? 0.5f : -0.5f), 1.9f,
                 hex(0x16307A));
    shoe(c, nl.ankle, nl.shin, 4.6f, 1.25f, WHITE, CYAN);
    sprinter_head(c, head, 4.4f, 0.15f * std::sin(2 * PI * phase));
    ArmPose na = arm_pose(add(shoulder, 0.5f, 0), 3.4f, 3.2f, phase, 1.0f);
    limb(c, na.shoulder, na.elbow, na.hand, 1.1f, SKIN);
    fill_ellipse(c, na.hand.x, na.hand.y, 1.3f, 1.3f, SKIN);
}

// ---- 1: the little red imp ----

void imp_head(Canvas& c, Pt h, float r) {
    // Horns first, then the round head over their roots.
    for (int side = 0; side < 2; ++side) {
        float bx = h.x + (side ? r * 0.5f : -r * 0.4f);
        std::vector<Pt> horn = {{bx - r * 0.32f, h.y - r * 0.65f},
                                {bx + r * 0.32f, h.y - r * 0.72f},
                                {bx + (side ? r * 0.3f : -r * 0.2f), h.y - r * 1.5f}};
        outline_poly(c, horn, HORN, INK, LINE * 0.9f);
    }
    outline_ellipse(c, h.x, h.y, r, r * 0.95f, IMP_RED, INK, LINE, 0, false);
    fill_ellipse(c, h.x - r * 0.35f, h.y - r * 0.4f, r * 0.35f, r * 0.22f, shade(IMP_RED, 1.3f),
                 -0.5f);
    eye(c, h.x + r * 0.38f, h.y - r * 0.18f, r * 0.36f, r * 0.44f, r * 0.14f);
    // Open grin under the eye, towards the front.
    paint(
        c, h.x, h.y, h.x + r, h.y + r,
        [&](float x, float y) {
            float dx = x - (h.x + r * 0.55f), dy = y - (h.y + r * 0.3f);
            return dx * dx + dy * dy < r * r * 0.16f && dy > r * 0.05f;
        },
        Flat{hex(0x4A0C14)});
}

void draw_imp(Canvas& c, float phase) {
    float bounce = -0.9f * std::cos(4 * PI * phase);
    Pt hip = {9.0f, 20.0f + bounce};
    Pt chest = {10.6f, 14.8f + bounce};
    Pt head = {11.2f, 7.8f + bounce};
    // Tail with an arrow tip, swishing.
    float sw = std::sin(2 * PI * phase);
    Pt t0 = {hip.x - 2.5f, hip.y - 0.5f}, t1 = {hip.x - 5.5f, hip.y - 2.0f + sw},
       t2 = {hip.x - 7.2f, hip.y - 5.5f + sw * 0.5f};
    limb(c, t0, t1, t2, 0.6f, IMP_RED);
    std::vector<Pt> tip = {
        {t2.x - 1.4f, t2.y + 0.6f}, {t2.x + 1.1f, t2.y + 0.4f}, {t2.x - 0.3f, t2.y - 2.0f}};
    outline_poly(c, tip, IMP_RED, INK, LINE * 0.8f);
    ArmPose fa = arm_pose({chest.x - 0.2f, chest.y - 1.2f}, 2.6f, 2.4f, phase + 0.5f, 1.1f);
    limb(c, fa.shoulder, fa.elbow, fa.hand, 0.9f, shade(IMP_RED, 0.78f));
    LegPose fl = leg_pose(hip, 3.6f, 3.6f, phase + 0.5f, 0.85f, false);
    limb(c, fl.hip, fl.knee, fl.ankle, 1.1f, shade(IMP_RED, 0.78f));
    shoe(c, fl.ankle, fl.shin, 3.8f, 1.2f, shade(YELLOW, 0.8f), shade(WHITE, 0.8f));
    // Pear-shaped body with a light belly.
    outline_ellipse(c, (hip.x + chest.x) / 2, (hip.y + chest.y) / 2 + 0.3f, 3.9f, 4.4f, IMP_RED,
                    INK, LINE, -0.15f);
    fill_ellipse(c, (hip.x + chest.x) / 2 + 1.2f, (hip.y + chest.y) / 2 + 0.8f, 2.2f, 3.0f,
                 IMP_BELLY, -0.15f);
    LegPose nl = leg_pose(hip, 3.6f, 3.6f, phase, 0.85f, false);
    limb(c, nl.hip, nl.knee, nl.ankle, 1.15f, IMP_RED);
    shoe(c, nl.ankle, nl.shin, 4.0f, 1.25f, YELLOW, WHITE);
    imp_head(c, head, 5.3f);
    ArmPose na = arm_pose({chest.x + 0.3f, chest.y - 1.0f}, 2.6f, 2.4f, phase, 1.1f);
    limb(c, na.shoulder, na.elbow, na.hand, 0.95f, IMP_RED);
    fill_ellipse(c, na.hand.x, na.hand.y, 1.15f, 1.15f, IMP_RED);
}

// ---- 2: the purple bird ----

void bird_head(Canvas& c, Pt h, float r, float crest) {
    // Crest feathers swept back.
    for (int i = 0; i < 3; ++i) {
        float a = -0.35f - i * 0.32f + crest;
        Pt base = {h.x - r * 0.3f, h.y - r * 0.6f};
        Pt tip = {base.x - r * (2.4f - i * 0.3f) * std::cos(a),
                  base.y + r * (2.4f - i * 0.3f) * std::sin(a)};
        fill_capsule2(c, base, tip, 1.0f + LINE, 0.35f + LINE, INK);
        fill_capsule2(c, base, tip, 1.0f, 0.35f, i == 1 ? TEAL : BIRD_DARK);
    }
    // Long beak.
    std::vector<Pt> beak = {{h.x + r * 0.5f, h.y - r * 0.45f},
                            {h.x + r * 3.3f, h.y + r * 0.05f},
                            {h.x + r * 0.5f, h.y + r * 0.55f}};
    outline_poly(c, beak, BEAK, INK, LINE);
    fill_capsule(c, {h.x + r * 0.7f, h.y + r * 0.08f}, {h.x + r * 2.6f, h.y + r * 0.08f}, 0.22f,
                 shade(BEAK, 0.7f));
    outline_ellipse(c, h.x, h.y, r, r * 0.9f, BIRD, INK, LINE);
    eye(c, h.x + r * 0.2f, h.y - r * 0.2f, r * 0.42f, r * 0.5f, r * 0.15f);
}

void draw_bird(Canvas& c, float phase) {
    float bounce = -0.8f * std::cos(4 * PI * phase);
    Pt body = {29.0f, 14.0f + bounce};
    Pt hip = {29.5f, 17.0f + bounce};
    float wing = std::sin(2 * PI * phase);
    // Tail feathers streaming back.
    for (int i = 0; i < 4; ++i) {
        float y = body.y - 3.0f + i * 1.4f;
        Pt a = {body.x - 6.0f, body.y - 0.5f + i * 0.6f};
        Pt b = {body.x - 19.0f + i * 1.5f, y - 4.0f + i * 0.8f + wing * 0.4f * (i - 1.5f)};
        fill_capsule2(c, a, b, 1.5f + LINE, 0.8f + LINE, INK);
        fill_capsule2(c, a, b, 1.5f, 0.8f, i % 2 ? BIRD_DARK : BIRD);
        fill_ellipse(c, b.x + 0.8f, b.y, 1.1f, 0.75f, TEAL);
    }
    LegPose fl = leg_pose(hip, 5.0f, 6.2f, phase + 0.5f, 1.05f, true);
    limb(c, fl.hip, fl.knee, fl.ankle, 0.7f, shade(BEAK, 0.75f));
    // Three-toed foot.
    auto foot = [&](const LegPose& p, Rgb col) {
        for (int t = -1; t <= 1; ++t) {
            Pt toe = {p.ankle.x + 2.6f - std::abs(t) * 0.4f, p.ankle.y + 0.4f + t * 0.7f};
            fill_capsule(c, p.ankle, toe, 0.45f + LINE, INK);
            fill_capsule(c, p.ankle, toe, 0.45f, col);
        }
    };
    foot(fl, shade(BEAK, 0.75f));
    // Neck, body, head.
    Pt neckTop = {body.x + 12.5f, body.y - 8.0f + bounce * 0.3f};
    fill_capsule2(c, {body.x + 5.0f, body.y - 1.0f}, neckTop, 2.6f + LINE, 1.6f + LINE, INK);
    fill_capsule2(c, {body.x + 5.0f, body.y - 1.0f}, neckTop, 2.6f, 1.6f, BIRD);
    outline_ellipse(c, body.x, body.y, 8.5f, 5.0f, BIRD, INK, LINE, -0.12f);
    fill_ellipse(c, body.x + 2.5f, body.y + 2.0f, 5.5f, 2.4f, BIRD_LIGHT, -0.12f);
    // Folded wing, flapping a little.
    std::vector<Pt> w = {{body.x + 4.0f, body.y - 2.5f},
                         {body.x - 4.0f, body.y - 3.5f + wing * 1.5f},
                         {body.x - 8.5f, body.y - 1.5f + wing * 2.5f},
                         {body.x - 2.0f, body.y + 1.5f}};
    outline_poly(c, smooth_closed(w, 5), BIRD_DARK, INK, LINE * 0.8f);
    LegPose nl = leg_pose(hip, 5.0f, 6.2f, phase, 1.05f, true);
    limb(c, nl.hip, nl.knee, nl.ankle, 0.75f, BEAK);
    foot(nl, BEAK);
    bird_head(c, {neckTop.x + 1.0f, neckTop.y - 0.5f}, 3.3f, 0.15f * wing);
}

// ---- 3: the green troll ----

void troll_head(Canvas& c, Pt h, float r) {
    // Small pointed ear at the back.
    std::vector<Pt> ear = {{h.x - r * 0.5f, h.y - r * 0.3f},
                           {h.x - r * 1.45f, h.y - r * 0.8f},
                           {h.x - r * 0.7f, h.y + r * 0.3f}};
    outline_poly(c, ear, TROLL, INK, LINE);
    // Round skull with a heavy jaw pushed forward.
    fill_ellipse(c, h.x, h.y, r + LINE, r * 0.9f + LINE, INK);
    fill_ellipse(c, h.x + r * 0.35f, h.y + r * 0.45f, r * 0.85f + LINE, r * 0.55f + LINE, INK);
    fill_ellipse_glossy(c, h.x, h.y, r, r * 0.9f, TROLL);
    fill_ellipse(c, h.x + r * 0.35f, h.y + r * 0.45f, r * 0.85f, r * 0.55f, TROLL);
    // Tuft of dark hair.
    std::vector<Pt> tuft = {{h.x - r * 0.5f, h.y - r * 0.75f},
                            {h.x - r * 0.45f, h.y - r * 1.35f},
                            {h.x, h.y - r * 1.0f},
                            {h.x + r * 0.25f, h.y - r * 1.4f},
                            {h.x + r * 0.45f, h.y - r * 0.8f}};
    outline_poly(c, tuft, TROLL_DARK, INK, LINE * 0.8f);
    // Heavy brow over a small eye, a blunt nose, a tusk rising from the jaw.
    eye(c, h.x + r * 0.45f, h.y - r * 0.12f, r * 0.22f, r * 0.26f, r * 0.07f);
    fill_capsule(c, {h.x + r * 0.05f, h.y - r * 0.45f}, {h.x + r * 0.85f, h.y - r * 0.4f},
                 r * 0.14f, TROLL_DARK);
    outline_ellipse(c, h.x + r * 0.95f, h.y + r * 0.12f, r * 0.28f, r * 0.24f, shade(TROLL, 0.9f),
                    INK, LINE * 0.6f, 0, false);
    fill_capsule(c, {h.x + r * 0.35f, h.y + r * 0.55f}, {h.x + r * 1.05f, h.y + r * 0.5f},
                 r * 0.07f, INK);
    std::vector<Pt> tusk = {{h.x + r * 0.62f, h.y + r * 0.62f},
                            {h.x + r * 0.92f, h.y + r * 0.6f},
                            {h.x + r * 0.85f, h.y + r * 0.18f}};
    outline_poly(c, tusk, TUSK, INK, LINE * 0.5f);
}

void draw_troll(Canvas& c, float phase) {
    float bounce = -0.6f * std::cos(4 * PI * phase);
    Pt hip = {11.0f, 19.8f + bounce};
    Pt chest = {13.0f, 13.0f + bounce};
    Pt body = {11.9f, 14.8f + bounce};
    ArmPose fa = arm_pose({chest.x - 0.5f, chest.y - 2.5f}, 4.0f, 3.6f, phase + 0.5f, 0.9f);
    limb(c, fa.shoulder, fa.elbow, fa.hand, 1.5f, shade(TROLL, 0.75f));
    fill_ellipse(c, fa.hand.x, fa.hand.y, 1.9f, 1.9f, shade(TROLL, 0.75f));
    LegPose fl = leg_pose(hip, 4.2f, 4.6f, phase + 0.5f, 0.7f, false);
    limb(c, fl.hip, fl.knee, fl.ankle, 1.9f, shade(PANTS, 0.75f));
    shoe(c, fl.ankle, fl.shin, 4.4f, 1.5f, shade(VEST, 0.6f), shade(VEST, 0.45f));
    // Barrel body in a sleeveless brown tunic, the green shoulders bare.
    outline_ellipse(c, body.x, body.y, 6.4f, 7.2f, TROLL, INK, LINE, -0.2f);
    paint(
        c, body.x - 7, body.y - 8, body.x + 7, body.y + 8,
        [&](float x, float y) {
            float dx = x - body.x, dy = y - body.y;
            float u = dx * std::cos(-0.2f) + dy * std::sin(-0.2f);
            float v = -dx * std::sin(-0.2f) + dy * std::cos(-0.2f);
            return u * u / (6.4f * 6.4f) + v * v / (7.2f * 7.2f) <= 1 && dy > -3.2f + dx * 0.3f;
        },
        Glossy{VEST, body.x + 2.0f, body.y - 1.0f, 8.0f});
    fill_capsule(c, {body.x - 5.8f, body.y + 3.4f}, {body.x + 5.6f, body.y + 2.2f}, 0.75f,
                 hex(0xD8B36A));
    fill_ellipse(c, body.x + 1.5f, body.y + 2.9f, 0.9f, 0.9f, hex(0xF0D890));
    LegPose nl = leg_pose(hip, 4.2f, 4.6f, phase, 0.7f, false);
    limb(c, nl.hip, nl.knee, nl.ankle, 2.0f, PANTS);
    shoe(c, nl.ankle, nl.shin, 4.6f, 1.55f, shade(VEST, 0.8f), shade(VEST, 0.55f));
    troll_head(c, {16.2f, 5.6f + bounce}, 5.0f);
    ArmPose na = arm_pose({chest.x + 0.2f, chest.y - 2.3f}, 4.0f, 3.6f, phase, 0.9f);
    limb(c, na.shoulder, na.elbow, na.hand, 1.6f, TROLL);
    // Short tunic sleeve, so the arm stands out from the head and chest.
    Pt mid = {(na.shoulder.x * 0.4f + na.elbow.x * 0.6f),
              (na.shoulder.y * 0.4f + na.elbow.y * 0.6f)};
    fill_capsule(c, na.shoulder, mid, 1.95f, shade(VEST, 1.1f));
    fill_ellipse(c, na.hand.x, na.hand.y, 2.1f + LINE, 2.1f + LINE, INK);
    fill_ellipse_glossy(c, na.hand.x, na.hand.y, 2.1f, 2.1f, TROLL);
}

// ---- portraits ----

void portrait_tile(Canvas& c, Rgb top, Rgb bottom) {
    fill_vgradient(c, 0, 0, 30, 30, top, bottom);
    // Soft rays behind the head.
    for (int i = 0; i < 8; ++i) {
        float a = i * PI / 4 + 0.2f;
        std::vector<Pt> ray = {{15, 16},
                               {15 + 30 * std::cos(a), 16 + 30 * std::sin(a)},
                               {15 + 30 * std::cos(a + 0.3f), 16 + 30 * std::sin(a + 0.3f)}};
        fill_poly(c, ray, shade(top, 1.25f), 0.35f);
    }
}

void portrait_frame(Canvas& c) {
    fill_rect(c, 0, 0, 30, 1.2f, INK);
    fill_rect(c, 0, 28.8f, 30, 1.2f, INK);
    fill_rect(c, 0, 0, 1.2f, 30, INK);
    fill_rect(c, 28.8f, 0, 1.2f, 30, INK);
}

void portrait_sprinter(Canvas& c) {
    portrait_tile(c, hex(0xBDE7FF), hex(0x7CC4F0));
    // Shoulders in the blue vest.
    outline_ellipse(c, 14, 33, 12, 8, BLUE, INK, 0.8f);
    fill_capsule(c, {7, 27}, {11, 31}, 0.8f, WHITE);
    fill_capsule(c, {21, 27}, {17, 31}, 0.8f, WHITE);
    fill_capsule(c, {15, 22}, {15, 26}, 2.6f + 0.8f, INK);
    fill_capsule(c, {15, 22}, {15, 26}, 2.6f, shade(SKIN, 0.9f));
    // Ponytail streaming behind.
    std::vector<Pt> tail = {{9, 9}, {2, 5}, {1.5f, 10}, {4, 14}, {9, 15}};
    outline_poly(c, smooth_closed(tail, 6), BLUE_HAIR, INK, 0.8f);
    Pt h = {15.5f, 14};
    float r = 8.0f;
    fill_ellipse(c, h.x - r * 0.95f, h.y + 1.5f, 1.8f + 0.8f, 2.3f + 0.8f, INK);
    fill_ellipse(c, h.x - r * 0.95f, h.y + 1.5f, 1.8f, 2.3f, SKIN);
    fill_ellipse(c, h.x + r * 0.95f, h.y + 1.5f, 1.8f + 0.8f, 2.3f + 0.8f, INK);
    fill_ellipse(c, h.x + r * 0.95f, h.y + 1.5f, 1.8f, 2.3f, SKIN);
    outline_ellipse(c, h.x, h.y, r * 0.92f, r, SKIN, INK, 0.8f);
    // Hair: swept fringe on top.
    paint(
        c, h.x - r, h.y - r - 2, h.x + r, h.y,
        [&](float x, float y) {
            float dx = (x - h.x) / 0.92f, dy = y - h.y;
            float edge = -r * 0.35f + std::sin((x - h.x) * 0.9f) * 0.8f + (x - h.x) * 0.15f;
            return dx * dx + dy * dy <= r * r && dy < edge;
        },
        Glossy{BLUE_HAIR, h.x - 2, h.y - r, r * 1.4f});
    // Headband.
    paint(
        c, h.x - r, h.y - r, h.x + r, h.y + r,
        [&](float x, float y) {
            float dx = (x - h.x) / 0.92f, dy = y - h.y;
            float band = -r * 0.45f + (x - h.x) * 0.08f;
            return dx * dx + dy * dy <= r * r && dy > band && dy < band + 2.0f;
        },
        Flat{YELLOW});
    // Determined eyes and brows, a confident smile.
    for (int s = -1; s <= 1; s += 2) {
        float ex = h.x + s * 3.0f;
        fill_ellipse(c, ex, h.y + 0.8f, 1.6f, 2.0f, WHITE);
        fill_ellipse(c, ex + 0.4f, h.y + 1.1f, 1.0f, 1.4f, hex(0x1F3F8F));
        fill_ellipse(c, ex + 0.5f, h.y + 1.2f, 0.5f, 0.7f, INK);
        fill_ellipse(c, ex + 0.1f, h.y + 0.4f, 0.35f, 0.35f, WHITE);
        fill_capsule(c, {ex - 1.8f, h.y - 1.6f - s * 0.3f}, {ex + 1.6f, h.y - 1.3f + s * 0.3f},
                     0.45f, BLUE_HAIR);
    }
    paint(
        c, h.x - 4, h.y + 3, h.x + 4, h.y + 8,
        [&](float x, float y) {
            float dx = x - (h.x + 0.5f), dy = y - (h.y + 3.6f);
            float d = dx * dx + dy * dy;
            return d < 9.0f && d > 5.0f && dy > 0.8f;
        },
        Flat{INK});
    fill_ellipse(c, h.x - 4.8f, h.y + 3.8f, 1.3f, 0.7f, hex(0xF59A86), 0, 0.6f);
    fill_ellipse(c, h.x + 5.2f, h.y + 3.8f, 1.3f, 0.7f, hex(0xF59A86), 0, 0.6f);
    portrait_frame(c);
}

void portrait_imp(Canvas& c) {
    portrait_tile(c, hex(0xFFE7A0), hex(0xF8B84A));
    outline_ellipse(c, 15, 33, 10, 8, IMP_RED, INK, 0.8f);
    fill_ellipse(c, 15, 32, 5, 5, IMP_BELLY);
    Pt h = {15, 15.5f};
    float r = 9.5f;
    for (int s = -1; s <= 1; s += 2) {
        std::vector<Pt> horn = {{h.x + s * 4.5f - 2.2f, h.y - 6.5f},
                                {h.x + s * 4.5f + 2.2f, h.y - 6.5f},
                                {h.x + s * 7.5f, h.y - 13.0f}};
        outline_poly(c, smooth_closed(horn, 4), HORN, INK, 0.8f);
        // Little pointed ears.
        std::vector<Pt> ear = {{h.x + s * 8.0f, h.y - 2.0f},
                               {h.x + s * 12.0f, h.y - 3.5f},
                               {h.x + s * 8.0f, h.y + 2.5f}};
        outline_poly(c, ear, IMP_RED, INK, 0.8f);
    }
    outline_ellipse(c, h.x, h.y, r, r * 0.88f, IMP_RED, INK, 0.8f);
    for (int s = -1; s <= 1; s += 2) {
        float ex = h.x + s * 3.3f;
        fill_ellipse(c, ex, h.y - 1.0f, 2.6f, 3.3f, INK);
        fill_ellipse(c, ex, h.y - 1.0f, 2.2f, 2.9f, WHITE);
        fill_ellipse(c, ex + s * 0.3f, h.y - 0.4f, 1.2f, 1.7f, INK);
        fill_ellipse(c, ex + s * 0.3f - 0.4f, h.y - 1.1f, 0.45f, 0.45f, WHITE);
    }
    // Wide grin with one fang.
    paint(
        c, h.x - 6, h.y + 1, h.x + 6, h.y + 8,
        [&](float x, float y) {
            float dx = x - h.x, dy = y - (h.y + 1.8f);
            return dx * dx / 25.0f + dy * dy / 16.0f < 1 && dy > 0.5f;
        },
        Flat{hex(0x5A0F18)});
    fill_ellipse(c, h.x, h.y + 5.2f, 2.2f, 1.0f, hex(0xFF7E8A));
    std::vector<Pt> fang = {
        {h.x + 1.5f, h.y + 2.3f}, {h.x + 3.3f, h.y + 2.3f}, {h.x + 2.4f, h.y + 4.2f}};
    fill_poly(c, fang, WHITE);
    fill_ellipse(c, h.x - 6.2f, h.y + 2.6f, 1.5f, 0.8f, hex(0xFF9C8C), 0, 0.7f);
    fill_ellipse(c, h.x + 6.2f, h.y + 2.6f, 1.5f, 0.8f, hex(0xFF9C8C), 0, 0.7f);
    portrait_frame(c);
}

void portrait_bird(Canvas& c) {
    portrait_tile(c, hex(0xFFD6EC), hex(0xE59AD0));
    // Neck and chest feathers.
    outline_ellipse(c, 11, 34, 9, 9, BIRD, INK, 0.8f);
    Pt h = {12, 14.5f};
    fill_capsule2(c, {11, 30}, {h.x, h.y}, 4.6f + 0.8f, 3.5f + 0.8f, INK);
    fill_capsule2(c, {11, 30}, {h.x, h.y}, 4.6f, 3.5f, BIRD);
    fill_ellipse(c, 13, 29, 3.2f, 6, BIRD_LIGHT);
    float r = 8.0f;
    for (int i = 0; i < 3; ++i) {
        Pt base = {h.x - 2.0f, h.y - 5.0f};
        Pt tip = {base.x - 7.5f + i * 2.0f, base.y - 6.0f + i * 3.2f};
        fill_capsule2(c, base, tip, 2.0f + 0.8f, 0.6f + 0.8f, INK);
        fill_capsule2(c, base, tip, 2.0f, 0.6f, i == 1 ? TEAL : BIRD_DARK);
    }
    outline_ellipse(c, h.x, h.y, r, r * 0.95f, BIRD, INK, 0.8f);
    // Long beak reaching out of the tile.
    std::vector<Pt> beak = {
        {h.x + 5.0f, h.y - 1.5f}, {h.x + 19.0f, h.y + 2.5f}, {h.x + 5.5f, h.y + 4.5f}};
    outline_poly(c, beak, BEAK, INK, 0.8f);
    fill_capsule(c, {h.x + 6.0f, h.y + 1.9f}, {h.x + 16.5f, h.y + 2.7f}, 0.3f, shade(BEAK, 0.65f));
    fill_ellipse(c, h.x + 6.5f, h.y - 0.2f, 0.5f, 0.35f, INK);
    // Big eye with a teal ring.
    fill_ellipse(c, h.x + 1.5f, h.y - 1.5f, 4.2f, 4.6f, INK);
    fill_ellipse(c, h.x + 1.5f, h.y - 1.5f, 3.8f, 4.2f, WHITE);
    fill_ellipse(c, h.x + 2.6f, h.y - 1.0f, 2.0f, 2.4f, TEAL);
    fill_ellipse(c, h.x + 2.8f, h.y - 0.9f, 1.1f, 1.4f, INK);
    fill_ellipse(c, h.x + 2.2f, h.y - 1.9f, 0.55f, 0.55f, WHITE);
    fill_capsule(c, {h.x - 2.0f, h.y - 6.0f}, {h.x + 4.5f, h.y - 5.2f}, 0.55f, BIRD_DARK);
    portrait_frame(c);
}

void portrait_troll(Canvas& c) {
    portrait_tile(c, hex(0xE3D9B0), hex(0xB9A76A));
    outline_ellipse(c, 15, 35, 15, 10, VEST, INK, 0.8f);
    fill_ellipse(c, 15, 34, 6, 8, TROLL);
    Pt h = {15, 15};
    for (int s = -1; s <= 1; s += 2) {
        std::vector<Pt> ear = {{h.x + s * 8.0f, h.y - 2.5f},
                               {h.x + s * 14.0f, h.y - 6.0f},
                               {h.x + s * 8.5f, h.y + 2.5f}};
        outline_poly(c, ear, TROLL, INK, 0.8f);
        fill_poly(c,
                  {{h.x + s * 9.0f, h.y - 1.5f},
                   {h.x + s * 12.3f, h.y - 4.6f},
                   {h.x + s * 9.0f, h.y + 1.3f}},
                  shade(TROLL, 0.8f));
    }
    // Wide face, broader at the jaw.
    std::vector<Pt> face = {{h.x - 7, h.y - 7}, {h.x + 7, h.y - 7}, {h.x + 9.5f, h.y + 2},
                            {h.x + 8, h.y + 9}, {h.x - 8, h.y + 9}, {h.x - 9.5f, h.y + 2}};
    std::vector<Pt> fs = smooth_closed(face, 6);
    outline_poly(c, fs, TROLL, INK, 0.8f);
    fill_ellipse(c, h.x - 3, h.y - 3, 5, 3.5f, shade(TROLL, 1.15f), 0, 0.5f);
    // Tuft.
    std::vector<Pt> tuft = {{h.x - 3.5f, h.y - 6},    {h.x - 4.0f, h.y - 11},
                            {h.x - 1.2f, h.y - 8.5f}, {h.x + 0.5f, h.y - 13},
                            {h.x + 1.8f, h.y - 8.5f}, {h.x + 4.0f, h.y - 10.5f},
                            {h.x + 3.5f, h.y - 6}};
    outline_poly(c, tuft, TROLL_DARK, INK, 0.8f);
    // Brow, small eyes, big nose, tusks.
    fill_capsule(c, {h.x - 6.5f, h.y - 3.2f}, {h.x + 6.5f, h.y - 3.2f}, 1.5f, TROLL_DARK);
    for (int s = -1; s <= 1; s += 2) {
        float ex = h.x + s * 3.5f;
        fill_ellipse(c, ex, h.y - 0.6f, 1.7f, 1.5f, WHITE);
        fill_ellipse(c, ex + 0.3f, h.y - 0.4f, 0.9f, 1.0f, INK);
        fill_ellipse(c, ex, h.y - 0.9f, 0.3f, 0.3f, WHITE);
    }
    outline_ellipse(c, h.x, h.y + 2.0f, 2.2f, 1.6f, shade(TROLL, 0.9f), INK, 0.6f);
    fill_ellipse(c, h.x - 0.8f, h.y + 2.4f, 0.5f, 0.4f, INK);
    fill_ellipse(c, h.x + 0.8f, h.y + 2.4f, 0.5f, 0.4f, INK);
    fill_capsule(c, {h.x - 5.0f, h.y + 5.2f}, {h.x + 5.0f, h.y + 5.2f}, 0.55f, INK);
    for (int s = -1; s <= 1; s += 2) {
        std::vector<Pt> tusk = {{h.x + s * 4.0f - 1.1f, h.y + 7.0f},
                                {h.x + s * 4.0f + 1.1f, h.y + 7.0f},
                                {h.x + s * 4.3f, h.y + 3.0f}};
        outline_poly(c, tusk, TUSK, INK, 0.5f);
    }
    portrait_frame(c);
}

// Each character's art, in the character table's order.
struct CharacterArt {
    void (*portrait)(Canvas& c);
    void (*runner)(Canvas& c, float phase);
};
const CharacterArt ART[] = {
    {portrait_sprinter, draw_sprinter}, // sonic
    {portrait_imp, draw_imp},           // mario
    {portrait_bird, draw_bird},         // road
    {portrait_troll, draw_troll},       // shrek
};
static_assert(sizeof ART / sizeof ART[0] == CHARACTER_COUNT,
              "gen_assets: every character of the table needs its portrait and runner here");

} // namespace

void draw_portrait(Canvas& c, int who) {
    if (!character_in_range(who)) return;
    Clip old = canvas_clip_local(c, 0, 0, 30, 30);
    ART[who].portrait(c);
    canvas_clip_restore(c, old);
}

ArchivePicture make_portrait(int who, int size) {
    Canvas c = canvas_make(size, size, 4);
    canvas_transform(c, 0, 0, size / 30.0f);
    draw_portrait(c, who);
    return canvas_to_picture(c, hex(0xFFFFFF));
}

void draw_runner(Canvas& c, int who, float phase) {
    if (character_in_range(who)) ART[who].runner(c, phase);
}

ArchivePicture make_run_strip(int who) {
    const RunnerLook& look = CHARACTER_TABLE[character_in_range(who) ? who : 0].runner;
    int fw = look.frameWidth, fh = look.frameHeight, n = look.frames;
    // First pass: the extent of every frame's drawing on a roomy canvas, so the
    // figure can be scaled to fill its frame without losing a head or a foot.
    Canvas probe = canvas_make(fw * 3, fh * 3, 2);
    for (int f = 0; f < n; ++f) {
        canvas_transform(probe, float(fw), float(fh), 1);
        draw_runner(probe, who, float(f) / n);
    }
    int pw = probe.w * probe.s, bx0 = pw, by0 = 1 << 30, bx1 = -1, by1 = -1;
    for (size_t i = 0; i < probe.px.size(); ++i)
        if (probe.px[i].a > 0.25f) {
            int x = int(i % size_t(pw)), y = int(i / size_t(pw));
            bx0 = std::min(bx0, x);
            bx1 = std::max(bx1, x + 1);
            by0 = std::min(by0, y);
            by1 = std::max(by1, y + 1);
        }
    float x0 = float(bx0) / probe.s - fw, x1 = float(bx1) / probe.s - fw;
    float y0 = float(by0) / probe.s - fh, y1 = float(by1) / probe.s - fh;
    float k = std::min((fw - 0.5f) / (x1 - x0), (fh - 0.5f) / (y1 - y0));
    Canvas c = canvas_make(fw * n, fh, 4);
    for (int f = 0; f < n; ++f) {
        // Centred across the frame, feet on its bottom row.
        canvas_transform(c, f * fw + (fw - k * (x1 - x0)) / 2 - k * x0, fh - 0.25f - k * y1, k);
        canvas_clip(c, f * fw, 0, fw, fh); // a frame never spills into the next
        draw_runner(c, who, float(f) / n);
    }
    return canvas_to_keyed(c);
}
