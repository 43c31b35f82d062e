// Timed sprite effects: strip animations, one frame per period, that remove
// themselves; kept in a singly linked list ended by a sentinel node.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

struct Effect {
    int32_t frame;
    uint32_t lastStep;
    int32_t period;
    uint8_t running;
    SDL_Rect* dest;
    SDL_Rect src;
    SDL_Surface* sheet;
};

struct EffectNode {
    Effect* effect;   // null only in the sentinel
    EffectNode* next; // null only in the sentinel
};

struct EffectList {
    EffectNode* first;
};

EffectList* effect_list_create();
Effect* effect_list_push(EffectList* list);
void effect_init(Effect* effect, SDL_Surface* sheet, SDL_Rect* dest);
void effects_update(SDL_Surface* screen, EffectList* list);
void effect_list_remove(EffectList* list, EffectNode* node);
int effect_list_index_of(EffectList* list, EffectNode* node);
EffectNode* effect_list_at(EffectList* list, int n);
void effect_list_free(EffectList* list);
bool effect_list_empty(const EffectList* list);
