// The archive as a damaged or hostile file: the loaders must never read or write
// outside the index table or the surfaces they make.
#include "fuzz_common.h"

#include "archive/archive.h"
#include "platform/system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_enter_scratch_dir();
    fuzz_write_file("pics/pics.dat", data, size);
    uint32_t* table = open_index_tab();
    if (!table) return 0;
    for (int i = 0; i < INDEX_ENTRIES; ++i) {
        SDL_Surface* s = reload_pic(table, i);
        if (s) {
            // Touch every pixel the surface claims to own.
            volatile uint32_t sum = 0;
            SDL_LockSurface(s);
            for (int y = 0; y < s->h; ++y)
                for (int x = 0; x < s->w; ++x)
                    sum += static_cast<uint32_t*>(s->pixels)[y * (s->pitch / 4) + x];
            SDL_UnlockSurface(s);
            (void)sum;
            surface_free(s);
        }
    }
    free_index_tab(table);
    return 0;
}
