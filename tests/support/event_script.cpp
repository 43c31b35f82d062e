#include "support/event_script.h"

#include "platform/session_hooks.h"
#include "support/support.h"

#include <cstdio>
#include <cstdlib>

namespace {
std::vector<ScriptBatch> pending;
size_t nextBatch = 0;
long idleSinceEnd = 0;

void push_batch(const ScriptBatch& batch) {
    for (const ScriptEvent& e : batch) {
        switch (e.type) {
        case SDL_KEYDOWN:
            push_key(e.sym, e.mod);
            break;
        case SDL_QUIT:
            push_quit();
            break;
        case SDL_JOYBUTTONDOWN:
            push_joy_button(e.which, e.button);
            break;
        case SDL_MOUSEBUTTONDOWN:
            push_mouse_button(e.button);
            break;
        default:
            break;
        }
    }
}

bool queue_empty() {
    SDL_Event ev;
    SDL_PumpEvents();
    return SDL_PeepEvents(&ev, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) <= 0;
}

void feed(void*) {
    if (!queue_empty()) return;
    if (nextBatch < pending.size()) {
        push_batch(pending[nextBatch++]);
        return;
    }
    ++idleSinceEnd;
    if (idleSinceEnd == 100000) push_quit();
    if (idleSinceEnd > 1000000) {
        // The screen ignored even the close request: stop rather than hang the suite.
        fprintf(stderr, "event script: the screen never ended\n");
        abort();
    }
}
} // namespace

ScriptEvent key_event(SDLKey sym, SDLMod mod) {
    return {SDL_KEYDOWN, sym, mod, 0, 0};
}
ScriptEvent quit_event() {
    return {SDL_QUIT, SDLK_UNKNOWN, KMOD_NONE, 0, 0};
}
ScriptEvent joy_event(Uint8 which, Uint8 button) {
    return {SDL_JOYBUTTONDOWN, SDLK_UNKNOWN, KMOD_NONE, which, button};
}

void start_event_script(const std::vector<ScriptBatch>& batches) {
    pending = batches;
    nextBatch = 0;
    idleSinceEnd = 0;
    if (!pending.empty()) push_batch(pending[nextBatch++]);
    set_idle_hook(feed, nullptr);
}

void stop_event_script() {
    set_idle_hook(nullptr, nullptr);
    pending.clear();
    nextBatch = 0;
}

size_t script_batches_left() {
    return pending.size() - nextBatch;
}
