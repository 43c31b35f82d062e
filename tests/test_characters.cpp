// The character table against everything that follows it: the pictures and
// sounds the build makes, the record files and the control rules. A row that
// does not fit, or a place that still counts four characters, fails here.
#include "archive/archive.h"
#include "archive_pack/archive_pack.h"
#include "input/controls.h"
#include "tables/characters.h"
#include "records/records.h"
#include "platform/sound.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {
// Runners start behind the line where the view begins to follow them
// (x 500) and run above the board (y 180).
constexpr int SCROLL_FROM = 500;
constexpr int BOARD_TOP = 180;
} // namespace

TEST(Characters, EveryRowFitsItsPicturesSoundsAndPlace) {
    ScratchGameDir dir;
    std::vector<ArchivePicture> pics;
    ASSERT_TRUE(read_archive("pics/pics.dat", pics));
    ASSERT_EQ(pics.size(), size_t(INDEX_ENTRIES));
    ASSERT_NE(start_test_video(), nullptr) << SDL_GetError();
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));

    std::set<std::string> names, labels, sounds;
    std::set<int> pictures, lanes, bestTimePlaces;
    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        const CharacterRow& row = CHARACTER_TABLE[c];
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(names.insert(row.name).second);
        EXPECT_TRUE(labels.insert(row.label).second);
        for (const char* p = row.name; *p; ++p)
            EXPECT_TRUE(*p >= 'a' && *p <= 'z') << "messages name characters in lower case";

        // Its own two pictures, of the sizes the race cuts them by.
        ASSERT_TRUE(row.portrait >= 0 && row.portrait < INDEX_ENTRIES);
        ASSERT_TRUE(row.sprites >= 0 && row.sprites < INDEX_ENTRIES);
        EXPECT_TRUE(pictures.insert(row.portrait).second);
        EXPECT_TRUE(pictures.insert(row.sprites).second);
        const RunnerLook& look = row.runner;
        EXPECT_EQ(pics[size_t(row.sprites)].width, look.frameWidth * look.frames);
        EXPECT_EQ(pics[size_t(row.sprites)].height, look.frameHeight);
        EXPECT_EQ(pics[size_t(row.portrait)].width, 30);
        EXPECT_EQ(pics[size_t(row.portrait)].height, 30);

        // A lane of its own, whole on the track, starting behind the scroll line.
        EXPECT_TRUE(lanes.insert(look.y).second);
        EXPECT_GT(look.startX, 0);
        EXPECT_LE(look.startX + look.frameWidth, SCROLL_FROM);
        EXPECT_LE(look.y + look.frameHeight, BOARD_TOP);
        // Its best time has a place of its own on the 640 x 60 board.
        EXPECT_TRUE(bestTimePlaces.insert(row.bestTimeX * 100 + row.bestTimeY).second);
        EXPECT_TRUE(row.bestTimeX >= 0 && row.bestTimeX < 640);
        EXPECT_TRUE(row.bestTimeY >= 0 && row.bestTimeY < 60);

        // Its end sound, loaded the way the shell loads it.
        EXPECT_TRUE(sounds.insert(row.endSound).second);
        std::string path = std::string("sounds/") + row.endSound;
        if (row.endSoundIsSong) {
            FMUSIC_MODULE* song = FMUSIC_LoadSong(path.c_str());
            EXPECT_NE(song, nullptr);
            FMUSIC_FreeSong(song);
        } else {
            FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), 0, 0, 0);
            EXPECT_NE(sample, nullptr);
            FSOUND_Sample_Free(sample);
        }
    }
    FSOUND_Close();
    stop_test_video();
}

TEST(Characters, RangeLimitsInTheRecordFilesAndControls) {
    // Record and control files already written name characters by these
    // numbers: a new character goes after them, never between.
    const char* const stored[] = {"sonic", "mario", "road", "shrek"};
    ASSERT_GE(CHARACTER_COUNT, 4);
    for (int c = 0; c < 4; ++c)
        EXPECT_STREQ(CHARACTER_TABLE[c].name, stored[c]);
    EXPECT_EQ(SONIC, 0);
    EXPECT_EQ(MARIO, 1);
    EXPECT_EQ(ROAD, 2);
    EXPECT_EQ(SHREK, 3);

    EXPECT_FALSE(character_in_range(-1));
    EXPECT_TRUE(character_in_range(0));
    EXPECT_TRUE(character_in_range(CHARACTER_COUNT - 1));
    EXPECT_FALSE(character_in_range(CHARACTER_COUNT));

    ScratchGameDir dir{false, false};
    dir.write(SCORES_PATH, "");
    // Every character keeps its own best time; one past the last stores nothing.
    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        float t = 1000.0f * float(c + 1);
        rw_score(c, &t, 1);
    }
    const std::string scores = dir.read(SCORES_PATH);
    float outside = 5.0f;
    EXPECT_EQ(rw_score(CHARACTER_COUNT, &outside, 1), 0.0f);
    EXPECT_EQ(rw_score(-1, &outside, 1), 0.0f);
    EXPECT_EQ(dir.read(SCORES_PATH), scores);
    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        float unused = 0.0f;
        EXPECT_EQ(rw_score(c, &unused, 0), 1000.0f * float(c + 1)) << c;
    }

    // The hall of fame keeps every character and refuses one past the last.
    std::string hall;
    for (int r = 0; r < HALL_LINES; ++r)
        hall += "aaa 99999.000000 0\n";
    dir.write(HALL_PATH, hall);
    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        HallEntry e = {{'a', 'b', 'c', '\0'}, 12345.0f, c};
        rw_hall(&e, 0, 1);
        HallEntry back = {{'\0'}, 0.0f, -1};
        rw_hall(&back, 0, 0);
        EXPECT_EQ(back.character, c);
    }
    HallEntry beyond = {{'a', 'b', 'c', '\0'}, 12345.0f, CHARACTER_COUNT};
    rw_hall(&beyond, 0, 1);
    HallEntry back = {{'\0'}, 0.0f, -1};
    rw_hall(&back, 0, 0);
    EXPECT_TRUE(character_in_range(back.character));
    EXPECT_EQ(dir.read(HALL_PATH).size(), hall.size());

    // A control file naming a character past the last gets one nobody holds.
    PlayerControl controls[PLAYERS];
    default_controls(controls);
    controls[0].character = CHARACTER_COUNT;
    sanitize_controls(controls);
    EXPECT_TRUE(character_in_range(controls[0].character));
    for (int i = 1; i < PLAYERS; ++i)
        EXPECT_NE(controls[i].character, controls[0].character);
    controls[3].character = -1;
    sanitize_controls(controls);
    EXPECT_TRUE(character_in_range(controls[3].character));
}
