#include "race/effects.h"
#include "platform/clock.h"
#include "support/support.h"

#include <gtest/gtest.h>

namespace {
// A 7-frame strip: frame k filled with its own colour, gaps grey.
Uint32 frame_colour(int k) {
    return 0x00100000u * Uint32(k + 1) + 0x40;
}

SDL_Surface* make_strip() {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 216, 30, 32, 0, 0, 0, 0);
    SDL_FillRect(s, nullptr, 0x007D7D7D);
    for (int k = 0; k < 7; ++k) {
        SDL_Rect r = {Sint16(31 * k), 0, 30, 30};
        SDL_FillRect(s, &r, frame_colour(k));
    }
    return s;
}

SDL_Surface* make_screen() {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 240, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
}

void clear(SDL_Surface* s) {
    SDL_FillRect(s, nullptr, 0);
}

int length(EffectList* list) {
    int n = 0;
    for (EffectNode* node = list->first; node->effect; node = node->next)
        ++n;
    return n;
}

class Effects : public ::testing::Test {
  protected:
    void SetUp() override {
        set_simulated_clock(true, 1000);
        strip = make_strip();
        screen = make_screen();
        list = effect_list_create();
        ASSERT_NE(list, nullptr);
    }
    void TearDown() override {
        effect_list_free(list);
        SDL_FreeSurface(strip);
        SDL_FreeSurface(screen);
        set_simulated_clock(false);
    }
    Effect* add(SDL_Rect* dest) {
        Effect* e = effect_list_push(list);
        effect_init(e, strip, dest);
        return e;
    }
    SDL_Surface* strip = nullptr;
    SDL_Surface* screen = nullptr;
    EffectList* list = nullptr;
};
} // namespace

TEST_F(Effects, ANewEffectIsDrawnAtFrameZeroInTheSameFrame) {
    EXPECT_TRUE(effect_list_empty(list));
    SDL_Rect dest = {100, 50, 25, 27};
    Effect* e = add(&dest);
    EXPECT_FALSE(effect_list_empty(list));
    EXPECT_EQ(e->lastStep, 1000u);
    EXPECT_EQ(e->src.h, 30);
    effects_update(screen, list);
    EXPECT_EQ(pixel_at(screen, 101, 51), frame_colour(0));
    EXPECT_EQ(pixel_at(screen, 99, 51), 0u);
}

TEST_F(Effects, StepsOnlyWhenMoreThanThePeriodHasPassed) {
    SDL_Rect dest = {0, 0, 0, 0};
    Effect* e = add(&dest);
    set_simulated_clock_value(1100);
    effects_update(screen, list);
    EXPECT_EQ(e->frame, 0);
    EXPECT_EQ(e->lastStep, 1000u);

    set_simulated_clock_value(1101);
    effects_update(screen, list);
    EXPECT_EQ(e->frame, 1);
    EXPECT_EQ(e->lastStep, 1101u);
    EXPECT_EQ(e->src.x, 31);

    // A long pause advances one frame only.
    set_simulated_clock_value(9000);
    effects_update(screen, list);
    EXPECT_EQ(e->frame, 2);
    EXPECT_EQ(e->src.x, 62);
}

TEST_F(Effects, NoStepInTheFirstPeriodAfterStartUp) {
    // The comparison is signed: at 50 ms "now - period" is negative, not huge.
    set_simulated_clock_value(0);
    SDL_Rect dest = {0, 0, 0, 0};
    Effect* e = add(&dest);
    set_simulated_clock_value(50);
    effects_update(screen, list);
    EXPECT_EQ(e->frame, 0);
}

TEST_F(Effects, LastFrameIsDrawnThenTheEffectGoesUndrawn) {
    SDL_Rect dest = {200, 100, 0, 0};
    Effect* e = add(&dest);
    Uint32 t = 1000;
    for (int k = 1; k <= 6; ++k) {
        t += 101;
        set_simulated_clock_value(t);
        clear(screen);
        effects_update(screen, list);
        ASSERT_EQ(e->frame, k);
        EXPECT_EQ(pixel_at(screen, 210, 110), frame_colour(k)) << "frame " << k;
    }
    EXPECT_EQ(e->src.x, 186);
    EXPECT_EQ(length(list), 1);

    t += 101;
    set_simulated_clock_value(t);
    clear(screen);
    effects_update(screen, list);
    EXPECT_TRUE(effect_list_empty(list));
    EXPECT_EQ(pixel_at(screen, 210, 110), 0u);
}

TEST_F(Effects, OlderEffectsAreDrawnOverNewerOnes) {
    SDL_Rect oldDest = {300, 100, 0, 0};
    Effect* older = add(&oldDest);
    set_simulated_clock_value(1101);
    effects_update(screen, list); // older at frame 1
    SDL_Rect newDest = {300, 100, 0, 0};
    add(&newDest);
    ASSERT_EQ(older->frame, 1);
    clear(screen);
    effects_update(screen, list);
    EXPECT_EQ(pixel_at(screen, 305, 105), frame_colour(1));
}

TEST_F(Effects, RemovalRelinksAndKeepsTheSentinelLast) {
    SDL_Rect d = {0, 0, 0, 0};
    add(&d);
    add(&d);
    add(&d);
    EffectNode* n0 = list->first;
    EffectNode* n1 = n0->next;
    EffectNode* n2 = n1->next;
    EffectNode* sentinel = n2->next;
    EXPECT_EQ(effect_list_index_of(list, n0), 0);
    EXPECT_EQ(effect_list_index_of(list, n2), 2);
    EXPECT_EQ(effect_list_at(list, 0), n0);
    EXPECT_EQ(effect_list_at(list, 2), n2);
    EXPECT_EQ(effect_list_at(list, 3), sentinel);
    EXPECT_EQ(effect_list_at(list, 50), sentinel); // stops at the null link

    effect_list_remove(list, n1); // a middle node: its predecessor is relinked
    EXPECT_EQ(list->first, n0);
    EXPECT_EQ(n0->next, n2);
    effect_list_remove(list, n0); // the first node: the cell moves on
    EXPECT_EQ(list->first, n2);
    EXPECT_EQ(n2->next, sentinel);
    effect_list_remove(list, n2);
    EXPECT_EQ(list->first, sentinel);
    EXPECT_TRUE(effect_list_empty(list));

    effect_list_remove(list, sentinel); // never removed
    EXPECT_EQ(list->first, sentinel);
}

TEST_F(Effects, ANodeOfAnotherListIsLeftAlone) {
    SDL_Rect d = {0, 0, 0, 0};
    add(&d);
    add(&d);
    EffectList* other = effect_list_create();
    effect_init(effect_list_push(other), strip, &d);
    effect_list_remove(list, other->first);
    EXPECT_EQ(length(list), 2);
    EXPECT_EQ(length(other), 1);
    effect_list_free(other);
}

TEST_F(Effects, FreeReleasesEmptyAndFullLists) {
    EffectList* empty = effect_list_create();
    effect_list_free(empty);
    SDL_Rect d = {0, 0, 0, 0};
    EffectList* full = effect_list_create();
    for (int i = 0; i < 3; ++i)
        effect_init(effect_list_push(full), strip, &d);
    effect_list_free(full);
    effect_list_free(nullptr);
}
