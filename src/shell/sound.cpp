#include "shell/sound.h"

bool FSOUND_Init(int, int, unsigned int) { return true; }
FSOUND_SAMPLE* FSOUND_Sample_Load(int, const char*, unsigned int, int, int) { return nullptr; }
int FSOUND_PlaySound(int, FSOUND_SAMPLE*) { return -1; }
void FSOUND_Sample_Free(FSOUND_SAMPLE*) {}
FMUSIC_MODULE* FMUSIC_LoadSong(const char*) { return nullptr; }
bool FMUSIC_SetLooping(FMUSIC_MODULE*, bool) { return true; }
bool FMUSIC_PlaySong(FMUSIC_MODULE*) { return true; }
bool FMUSIC_FreeSong(FMUSIC_MODULE*) { return true; }
void FSOUND_Close() {}
long sound_play_count() { return 0; }
const FSOUND_SAMPLE* sound_last_played() { return nullptr; }
long music_play_count() { return 0; }
