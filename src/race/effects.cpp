#include "race/effects.h"

#include "platform/clock.h"

#include <cstdlib>

namespace {
constexpr int EFFECT_PERIOD = 100;
constexpr int EFFECT_LAST_FRAME = 6;
constexpr int EFFECT_FRAME_WIDTH = 30;
} // namespace

EffectList* effect_list_create() {
    EffectList* list = static_cast<EffectList*>(calloc(1, sizeof(EffectList)));
    EffectNode* sentinel = static_cast<EffectNode*>(calloc(1, sizeof(EffectNode)));
    if (!list || !sentinel) {
        free(list);
        free(sentinel);
        return nullptr;
    }
    list->first = sentinel;
    return list;
}

Effect* effect_list_push(EffectList* list) {
    if (!list) return nullptr;
    EffectNode* node = static_cast<EffectNode*>(calloc(1, sizeof(EffectNode)));
    Effect* effect = static_cast<Effect*>(calloc(1, sizeof(Effect)));
    if (!node || !effect) {
        free(node);
        free(effect);
        return nullptr;
    }
    node->effect = effect;
    node->next = list->first;
    list->first = node;
    return effect;
}

void effect_init(Effect* effect, SDL_Surface* sheet, SDL_Rect* dest) {
    if (!effect) return;
    effect->frame = 0;
    effect->lastStep = game_ticks();
    effect->period = EFFECT_PERIOD;
    effect->src.x = 0;
    effect->src.y = 0;
    effect->src.w = EFFECT_FRAME_WIDTH;
    effect->src.h = sheet ? Uint16(sheet->h) : 0;
    effect->dest = dest;
    effect->sheet = sheet;
    effect->running = 1;
}

void effects_update(SDL_Surface* screen, EffectList* list) {
    if (!list) return;
    Uint32 now = game_ticks();
    EffectNode* node = list->first;
    while (node && node->effect) {
        EffectNode* next = node->next;
        Effect* e = node->effect;
        // Signed on purpose: in the first period after start-up nothing steps.
        if (int32_t(now - Uint32(e->period)) > int32_t(e->lastStep)) {
            e->frame += 1;
            if (e->frame > EFFECT_LAST_FRAME) {
                e->frame = EFFECT_LAST_FRAME;
                e->running = 0;
            }
            e->lastStep = now;
            // Frames sit side by side with a one-pixel gap.
            e->src.x = Sint16(e->src.w * e->frame + e->frame);
        }
        if (e->running) {
            if (screen && e->sheet) SDL_BlitSurface(e->sheet, &e->src, screen, e->dest);
        } else {
            effect_list_remove(list, node);
        }
        node = next;
    }
}

void effect_list_remove(EffectList* list, EffectNode* node) {
    if (!list || !node || !node->effect) return; // the sentinel stays
    int i = effect_list_index_of(list, node);
    // A node that is not in this list would be found at the sentinel's place.
    if (effect_list_at(list, i) != node) return;
    if (i > 0) {
        EffectNode* before = effect_list_at(list, i - 1);
        before->next = node->next;
    } else {
        list->first = node->next;
    }
    free(node->effect);
    free(node);
}

int effect_list_index_of(EffectList* list, EffectNode* node) {
    if (!list || !list->first || !node) return 0;
    EffectNode* current = list->first;
    int count = 0;
    // Only the node itself shares its successor, so the scan stops on it.
    while (current->next != node->next && current->next) {
        current = current->next;
        ++count;
    }
    return count;
}

EffectNode* effect_list_at(EffectList* list, int n) {
    if (!list) return nullptr;
    EffectNode* current = list->first;
    for (int i = 0; i < n && current && current->next; ++i)
        current = current->next;
    return current;
}

void effect_list_free(EffectList* list) {
    if (!list) return;
    while (list->first) {
        EffectNode* node = list->first;
        free(node->effect);
        list->first = node->next;
        free(node);
    }
    free(list);
}

bool effect_list_empty(const EffectList* list) {
    return !list || !list->first || !list->first->effect;
}
