#include "race/effects.h"

EffectList* effect_list_create() { return nullptr; }
Effect* effect_list_push(EffectList*) { return nullptr; }
void effect_init(Effect*, SDL_Surface*, SDL_Rect*) {}
void effects_update(SDL_Surface*, EffectList*) {}
void effect_list_remove(EffectList*, EffectNode*) {}
int effect_list_index_of(EffectList*, EffectNode*) { return 0; }
EffectNode* effect_list_at(EffectList*, int) { return nullptr; }
void effect_list_free(EffectList*) {}
bool effect_list_empty(const EffectList*) { return true; }
