// The sound layer played through SDL's disk-writer audio driver: what the
// mixer produced ends up in a file that the tests read back.
#include "common/sound_variants.h"
#include "platform/sound.h"
#include "platform/sound_files.h"
#include "platform/system.h"
#include "shell/shell.h"
#include "tables/characters.h"
#include "support/support.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>
#include <mpg123.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        output = dir.path + "/mixed.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        // A few ms a buffer instead of the default 150: the mixer runs faster
        // than real time and the tests do not wait for whole seconds.
        setenv("SDL_DISKAUDIODELAY", "2", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    }
    void TearDown() override {
        FSOUND_Close();
        SDL_Quit();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    // Waits (bounded) until no sample and no song is playing any more.
    static void wait_until_quiet() {
        for (int i = 0; i < 3000 && (Mix_Playing(-1) > 0 || Mix_PlayingMusic()); ++i)
            SDL_Delay(10);
    }

    // Loudest sample of everything the mixer wrote, closing the mixer first so
    // the file is complete.
    int peak_of_output() {
        FSOUND_Close();
        std::ifstream f(output, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(f)),
                                std::istreambuf_iterator<char>());
        int peak = 0;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            int16_t v = int16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
            peak = std::max(peak, std::abs(int(v)));
        }
        return peak;
    }

    // Everything the mixer wrote, as signed 16-bit values, the mixer closed first.
    std::vector<int16_t> output_samples() {
        FSOUND_Close();
        std::ifstream f(output, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(f)),
                                std::istreambuf_iterator<char>());
        std::vector<int16_t> pcm;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            pcm.push_back(int16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8));
        return pcm;
    }

    ScratchGameDir dir;
    std::string output;
};

// Level of a sound as full-scale fractions: 1.0 is 32768.
struct Level {
    double peak;
    double rms;
};

Level level_of(const std::vector<int16_t>& pcm) {
    Level l = {0.0, 0.0};
    double sum = 0.0;
    for (int16_t v : pcm) {
        l.peak = std::max(l.peak, std::fabs(v / 32768.0));
        sum += (v / 32768.0) * (v / 32768.0);
    }
    if (!pcm.empty()) l.rms = std::sqrt(sum / double(pcm.size()));
    return l;
}

double dbfs(double fraction) {
    return 20.0 * std::log10(std::max(fraction, 1e-9));
}

// The samples of a WAV file as the mixer holds them (its own rate and format).
std::vector<int16_t> wav_samples(const char* path) {
    std::vector<int16_t> pcm;
    Mix_Chunk* c = Mix_LoadWAV(path);
    if (!c) return pcm;
    const int16_t* s = reinterpret_cast<const int16_t*>(c->abuf);
    pcm.assign(s, s + c->alen / 2);
    Mix_FreeChunk(c);
    return pcm;
}

// The samples of an MP3 file, decoded by libmpg123 as the game's loader does.
std::vector<int16_t> mp3_samples(const char* path) {
    std::vector<int16_t> pcm;
    if (mpg123_init() != MPG123_OK) return pcm;
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) return pcm;
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(mh);
    mpg123_format(mh, 44100, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(mh, path) == MPG123_OK) {
        int16_t block[4096];
        size_t got = 0;
        int r;
        do {
            r = mpg123_read(mh, reinterpret_cast<unsigned char*>(block), sizeof block, &got);
            pcm.insert(pcm.end(), block, block + got / 2);
        } while (r == MPG123_OK || r == MPG123_NEW_FORMAT);
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    return pcm;
}

TEST_F(SoundTest, NothingPlayedGivesSilence) {
    SDL_Delay(50);
    EXPECT_EQ(peak_of_output(), 0);
}

TEST_F(SoundTest, WavSampleIsHeard) {
    FSOUND_SAMPLE* ding = FSOUND_Sample_Load(FSOUND_FREE, "sounds/ding.wav", 0, 0, 0);
    ASSERT_NE(ding, nullptr);
    long before = sound_play_count();
    EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, ding), 0);
    EXPECT_EQ(sound_play_count(), before + 1);
    EXPECT_EQ(sound_last_played(), ding);
    wait_until_quiet();
    EXPECT_GT(peak_of_output(), 8000);
    FSOUND_Sample_Free(ding);
}

TEST_F(SoundTest, Mp3SampleIsDecodedWholeAndHeard) {
    FSOUND_SAMPLE* hit = FSOUND_Sample_Load(FSOUND_FREE, "sounds/fatality.mp3", 0, 0, 0);
    ASSERT_NE(hit, nullptr);
    // 0.8 s of mono MP3 becomes 0.8 s at the mixer's rate and channels: a
    // wrong conversion would halve or double it.
    long ms = sound_sample_length_ms(hit);
    EXPECT_GT(ms, 750);
    EXPECT_LT(ms, 900);
    FSOUND_SAMPLE* jingle = FSOUND_Sample_Load(FSOUND_FREE, "sounds/road_end.mp3", 0, 0, 0);
    ASSERT_NE(jingle, nullptr);
    FSOUND_PlaySound(FSOUND_FREE, hit);
    wait_until_quiet();
    EXPECT_GT(peak_of_output(), 8000);
    FSOUND_Sample_Free(hit);
    FSOUND_Sample_Free(jingle);
}

TEST_F(SoundTest, MidiSongPlaysOnceAndIsHeard) {
    FMUSIC_MODULE* song = FMUSIC_LoadSong("sounds/mario_end.mid");
    ASSERT_NE(song, nullptr);
    EXPECT_TRUE(FMUSIC_SetLooping(song, false));
    long before = music_play_count();
    EXPECT_TRUE(FMUSIC_PlaySong(song));
    EXPECT_EQ(music_play_count(), before + 1);
    // Played once, the song ends by itself (a looping one would run out the wait).
    wait_until_quiet();
    EXPECT_FALSE(Mix_PlayingMusic());
    EXPECT_GT(peak_of_output(), 1000);
    EXPECT_TRUE(FMUSIC_FreeSong(song));
}

// Where a General MIDI SoundFont is installed the mixer would read the whole
// bank (about 150 MB) for the jingle; the song must stay a small load.
TEST_F(SoundTest, SongLoadsWithoutAWholeSoundFont) {
    if (getenv("SDL_SOUNDFONTS")) GTEST_SKIP() << "SoundFonts chosen by the environment";
    const long before = peak_memory_kb();
    FMUSIC_MODULE* song = FMUSIC_LoadSong("sounds/mario_end.mid");
    ASSERT_NE(song, nullptr);
    EXPECT_LT(peak_memory_kb() - before, 20 * 1024) << "peak grew in kB";
    EXPECT_TRUE(FMUSIC_FreeSong(song));
}

TEST_F(SoundTest, BackslashPathsNameTheSameFile) {
    FSOUND_SAMPLE* s = FSOUND_Sample_Load(FSOUND_FREE, "sounds\\sonic_end.wav", 0, 0, 0);
    EXPECT_NE(s, nullptr);
    FSOUND_Sample_Free(s);
}

TEST_F(SoundTest, UnloadableFilesGiveNull) {
    dir.write("sounds/text.wav", "not a wave file at all");
    dir.write("sounds/text.mp3", "not an mp3 either, just a line of text\n");
    dir.write("sounds/empty.mp3", "");
    dir.write("sounds/text.mid", "MThd but nothing after");
    // A WAV cut in half, or holding its header alone: the classic SDL refuses
    // them and SDL 2 would load what is there; both must refuse them.
    std::ifstream ding("sounds/ding.wav", std::ios::binary);
    std::string wav((std::istreambuf_iterator<char>(ding)), std::istreambuf_iterator<char>());
    ASSERT_GT(wav.size(), 1000u);
    dir.write("sounds/half.wav", wav.substr(0, wav.size() / 2));
    dir.write("sounds/header.wav", wav.substr(0, 44));
    // Songs the mixer's MIDI reader cannot survive: a track ending inside a
    // number (it hung), an event claiming 268 MB (it exited); and a RIFF
    // chunk claiming gigabytes (the WAV reader ran out of memory).
    const std::string head("MThd\0\0\0\6\0\0\0\1\1\xe0MTrk\0\0\0", 21);
    dir.write("sounds/number.mid", head + std::string("\5\0\x90\x40\x40\x81", 6));
    dir.write("sounds/meta.mid",
              head + std::string("\x0b\0\xff\2\xff\xff\xff\x7f\0\xff\x2f\0", 12));
    dir.write("sounds/chunk.wav", std::string("RIFF\xff\xff\xff\x7fWAVEfmt \xff\xff\xff\x7f", 20));
    long samples = resource_counts().samples;
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds/missing.wav", 0, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds/missing.mp3", 0, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds/text.wav", 0, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds/half.wav", 0, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds/header.wav", 0, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds/text.mp3", 0, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds/empty.mp3", 0, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong("sounds/missing.mid"), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong("sounds/text.mid"), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong("sounds/number.mid"), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong("sounds/meta.mid"), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds/chunk.wav", 0, 0, 0), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong(nullptr), nullptr);
    EXPECT_EQ(resource_counts().samples, samples);
    // Nothing loads once the mixer is closed.
    FSOUND_Close();
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, "sounds/ding.wav", 0, 0, 0), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong("sounds/mario_end.mid"), nullptr);
}

TEST_F(SoundTest, NullHandlesAreIgnored) {
    long plays = sound_play_count(), songs = music_play_count();
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
    FSOUND_Sample_Free(nullptr);
    EXPECT_FALSE(FMUSIC_SetLooping(nullptr, false));
    EXPECT_FALSE(FMUSIC_PlaySong(nullptr));
    EXPECT_FALSE(FMUSIC_FreeSong(nullptr));
    EXPECT_EQ(sound_play_count(), plays);
    EXPECT_EQ(music_play_count(), songs);
    EXPECT_EQ(sound_sample_length_ms(nullptr), 0);
}

TEST_F(SoundTest, SeveralSamplesPlayAtOnce) {
    FSOUND_SAMPLE* a = FSOUND_Sample_Load(FSOUND_FREE, "sounds/ding.wav", 0, 0, 0);
    FSOUND_SAMPLE* b = FSOUND_Sample_Load(FSOUND_FREE, "sounds/start.wav", 0, 0, 0);
    FSOUND_SAMPLE* c = FSOUND_Sample_Load(FSOUND_FREE, "sounds/fatality.mp3", 0, 0, 0);
    ASSERT_TRUE(a && b && c);
    // With the device paused no sample can end before they are counted.
    SDL_PauseAudio(1);
    int ca = FSOUND_PlaySound(FSOUND_FREE, a);
    int cb = FSOUND_PlaySound(FSOUND_FREE, b);
    int cc = FSOUND_PlaySound(FSOUND_FREE, c);
    EXPECT_GE(ca, 0);
    EXPECT_GE(cb, 0);
    EXPECT_GE(cc, 0);
    EXPECT_NE(ca, cb);
    EXPECT_NE(cb, cc);
    EXPECT_NE(ca, cc);
    EXPECT_EQ(Mix_Playing(-1), 3);
    // The same sample may also overlap itself, up to the 32 channels; past
    // them a request is simply not played.
    for (int i = 3; i < 32; ++i)
        EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, a), 0);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, a), -1);
    EXPECT_EQ(sound_last_played(), a);
    SDL_PauseAudio(0);
    wait_until_quiet();
    EXPECT_GT(peak_of_output(), 8000);
    FSOUND_Sample_Free(a);
    FSOUND_Sample_Free(b);
    FSOUND_Sample_Free(c);
}

TEST_F(SoundTest, FreeingWhilePlayingStopsTheSample) {
    long samples = resource_counts().samples;
    FSOUND_SAMPLE* crowd = FSOUND_Sample_Load(FSOUND_FREE, "sounds/applause.wav", 0, 0, 0);
    FSOUND_SAMPLE* ding = FSOUND_Sample_Load(FSOUND_FREE, "sounds/ding.wav", 0, 0, 0);
    ASSERT_TRUE(crowd && ding);
    EXPECT_EQ(resource_counts().samples, samples + 2);
    SDL_PauseAudio(1);
    FSOUND_PlaySound(FSOUND_FREE, crowd);
    FSOUND_PlaySound(FSOUND_FREE, ding);
    EXPECT_EQ(Mix_Playing(-1), 2);
    FSOUND_Sample_Free(crowd);
    EXPECT_EQ(Mix_Playing(-1), 1);
    EXPECT_EQ(sound_last_played(), ding);
    SDL_PauseAudio(0);
    FSOUND_Sample_Free(ding);
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(sound_last_played(), nullptr);
    EXPECT_EQ(resource_counts().samples, samples);
}

TEST_F(SoundTest, SongFreedWhilePlayingStops) {
    FMUSIC_MODULE* song = FMUSIC_LoadSong("sounds/mario_end.mid");
    ASSERT_NE(song, nullptr);
    FMUSIC_SetLooping(song, true);
    SDL_PauseAudio(1);
    EXPECT_TRUE(FMUSIC_PlaySong(song));
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_TRUE(FMUSIC_FreeSong(song));
    EXPECT_FALSE(Mix_PlayingMusic());
    SDL_PauseAudio(0);
}

// The mixer adds its channels and clips: each sound keeps 6 dB of headroom,
// so that any two the race plays together (a jingle and a crash, the start
// signal and a false start, two false starts, a jingle and the applause)
// still sum below full scale. The start signal is no louder than the ding.
TEST_F(SoundTest, SoundsLeaveHeadroomAndTheStartIsNoLouderThanTheDing) {
    // Every sound the game plays: its own, and each character's end sound.
    std::vector<std::string> files = {"ding.wav", "start.wav", "applause.wav", "electric.wav",
                                      "fatality.mp3"};
    for (const CharacterRow& row : CHARACTER_TABLE)
        files.push_back(row.endSound);
    std::vector<std::pair<std::string, Level>> levels;
    std::vector<std::string> songs;
    for (const std::string& file : files) {
        const std::string name = file.substr(0, file.rfind('.'));
        const std::string kind = file.substr(file.rfind('.') + 1);
        const std::string path = "sounds/" + file;
        if (kind != "wav" && kind != "mp3") {
            songs.push_back(file);
            continue;
        }
        std::vector<int16_t> pcm =
            kind == "wav" ? wav_samples(path.c_str()) : mp3_samples(path.c_str());
        ASSERT_FALSE(pcm.empty()) << name;
        levels.push_back({name, level_of(pcm)});
    }
    // A song's level as the mixer plays it, alone in the mixer's output.
    for (const std::string& file : songs) {
        ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
        FMUSIC_MODULE* song = FMUSIC_LoadSong(("sounds/" + file).c_str());
        ASSERT_NE(song, nullptr) << file;
        FMUSIC_PlaySong(song);
        wait_until_quiet();
        std::vector<int16_t> pcm = output_samples();
        FMUSIC_FreeSong(song);
        ASSERT_FALSE(pcm.empty()) << file;
        levels.push_back({file.substr(0, file.rfind('.')), level_of(pcm)});
    }

    const double sixDb = std::pow(10.0, -6.0 / 20.0);
    double ding = 0, start = 0, loudest = 0, second = 0;
    for (const auto& l : levels) {
        printf("%-10s peak %6.2f dBFS  rms %6.2f dBFS\n", l.first.c_str(), dbfs(l.second.peak),
               dbfs(l.second.rms));
        EXPECT_GT(l.second.peak, 0.05) << l.first << " is all but silent";
        EXPECT_LE(l.second.peak, sixDb) << l.first << " peaks above -6 dBFS";
        if (l.first == "ding") ding = l.second.rms;
        if (l.first == "start") start = l.second.rms;
        // The intro's buzz plays alone, before the race's sounds are loaded.
        if (l.first == "electric") continue;
        if (l.second.peak > loudest) {
            second = loudest;
            loudest = l.second.peak;
        } else {
            second = std::max(second, l.second.peak);
        }
    }
    EXPECT_LE(dbfs(start), dbfs(ding) + 3.0) << "the start signal is louder than the ding";
    EXPECT_GE(dbfs(start), dbfs(ding) - 3.0) << "the start signal is lost under the ding";
    EXPECT_LT((loudest + second) * 32768.0, 32767.0) << "the two loudest sounds clip together";
}

TEST_F(SoundTest, CloseStopsEverythingAndMixerReopens) {
    FSOUND_SAMPLE* crowd = FSOUND_Sample_Load(FSOUND_FREE, "sounds/applause.wav", 0, 0, 0);
    ASSERT_NE(crowd, nullptr);
    FSOUND_PlaySound(FSOUND_FREE, crowd);
    FSOUND_Close();
    FSOUND_Close(); // a second close is harmless
    // A sample outliving the mixer is still released cleanly.
    FSOUND_Sample_Free(crowd);
    // The intro opens and closes the mixer before the shell opens it again.
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FSOUND_SAMPLE* ding = FSOUND_Sample_Load(FSOUND_FREE, "sounds/ding.wav", 0, 0, 0);
    EXPECT_NE(ding, nullptr);
    FSOUND_Sample_Free(ding);
}

bool is_song(const SoundVariant& v) {
    std::string n = v.name;
    return n.size() > 4 && n.compare(n.size() - 4, 4, ".mid") == 0;
}

// Every variant the generator makes, on the runtime this test runs on (ctest
// runs it again on sdl12-compat): the sound layer's check passes exactly the
// files that runtime's mixer plays, and each one passed is heard.
TEST_F(SoundTest, EachVariantIsHeardWhereTheMixerPlaysItAndRefusedElsewhere) {
    const int runtime = this_runtime();
    ASSERT_EQ(sound_on_sdl12_compat(), running_on_sdl12_compat());
    mkdir("variants", 0755);
    for (int i = 0; i < SOUND_VARIANT_COUNT; ++i) {
        const SoundVariant& v = SOUND_VARIANTS[i];
        SCOPED_TRACE(std::string(v.name) + ": " + v.what);
        const std::string path = std::string("variants/") + v.name;
        dir.write(path, v.make());
        const bool plays = (v.plays & runtime) != 0, song = is_song(v);
        EXPECT_EQ(song ? midi_playable(path.c_str()) : wav_playable(path.c_str()), plays);
        // A fresh output file for each, so each is heard on its own.
        FSOUND_Close();
        output = dir.path + "/" + v.name + ".raw";
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
        if (song) {
            FMUSIC_MODULE* m = FMUSIC_LoadSong(path.c_str());
            EXPECT_EQ(m != nullptr, plays);
            if (!m) continue;
            EXPECT_TRUE(FMUSIC_PlaySong(m));
            wait_until_quiet();
            EXPECT_GT(peak_of_output(), 1000);
            FMUSIC_FreeSong(m);
        } else {
            FSOUND_SAMPLE* s = FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), 0, 0, 0);
            EXPECT_EQ(s != nullptr, plays);
            if (!s) continue;
            EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, s), 0);
            wait_until_quiet();
            EXPECT_GT(peak_of_output(), 8000);
            FSOUND_Sample_Free(s);
        }
    }
}

int start_up_then_shut_down() {
    ShellState s;
    shell_start_up(s);
    shell_shutdown(s);
    return 0;
}

const SoundVariant* variant_named(const char* name) {
    for (int i = 0; i < SOUND_VARIANT_COUNT; ++i)
        if (std::string(SOUND_VARIANTS[i].name) == name) return &SOUND_VARIANTS[i];
    return nullptr;
}

// The game itself, started in a child process with variants in place of its
// sounds: it starts with the ones this runtime plays, and stops on each other
// one with that sound's own message, exactly, and status 1.
TEST(SoundVariantsInTheGame, StartWithThePlayableAndStopOnTheRestWithTheirMessage) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ScratchGameDir dir;
    const int runtime = this_runtime();
    struct Place {
        const char* file;
        const char* message;
    };
    const Place wavs[] = {
        {"sounds/ding.wav", "Erreur lors du chargement de ding.wave"},
        {"sounds/start.wav", "Erreur lors du chargement de start.wav"},
        {"sounds/sonic_end.wav", "Erreur lors du chargement de sonic_end.wav\n"},
        {"sounds/shrek_end.wav", "Erreur lors du chargement de shrek_end.wav\n"},
    };
    const Place song = {"sounds/mario_end.mid", "Erreur lors du chargement de mario_end.mid\n"};

    // Every sound of the start-up replaced at once by variants this runtime plays.
    const char* const playable[] = {
        "ima_adpcm_mono.wav", "ms_adpcm_stereo.wav", "pcm16_six_channels.wav",
        runtime == PLAYS_COMPAT ? "mulaw_mono.wav" : "ms_adpcm_own_coefficients.wav"};
    std::string saved[5];
    for (int w = 0; w < 4; ++w) {
        saved[w] = dir.read(wavs[w].file);
        const SoundVariant* v = variant_named(playable[w]);
        ASSERT_TRUE(v && (v->plays & runtime)) << playable[w];
        dir.write(wavs[w].file, v->make());
    }
    saved[4] = dir.read(song.file);
    dir.write(song.file, variant_named("song_running_status_across_meta.mid")->make());
    ChildRun r = run_child(start_up_then_shut_down);
    EXPECT_TRUE(r.exited && r.status == 0) << r.out;
    for (int w = 0; w < 4; ++w)
        dir.write(wavs[w].file, saved[w]);
    dir.write(song.file, saved[4]);

    // Each one it does not play, in turn, in place of one of its sounds.
    int next = 0;
    for (int i = 0; i < SOUND_VARIANT_COUNT; ++i) {
        const SoundVariant& v = SOUND_VARIANTS[i];
        if (v.plays & runtime) continue;
        const Place& at = is_song(v) ? song : wavs[next++ % 4];
        SCOPED_TRACE(std::string(v.name) + " as " + at.file + ": " + v.what);
        const std::string good = dir.read(at.file);
        dir.write(at.file, v.make());
        ChildRun c = run_child(start_up_then_shut_down);
        dir.write(at.file, good);
        EXPECT_TRUE(c.exited) << "ended by a signal";
        EXPECT_EQ(c.status, 1);
        const std::string tail = std::string("\n") + at.message;
        EXPECT_TRUE(c.out.size() >= tail.size() &&
                    c.out.compare(c.out.size() - tail.size(), tail.size(), tail) == 0)
            << c.out;
    }
}

} // namespace
