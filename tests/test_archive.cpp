// The picture archive: loaders, damaged archives, the archive tool, and the
// archive the build generates.
#include "archive/archive.h"
#include "archive_pack/archive_pack.h"
#include "tables/characters.h"
#include "platform/system.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <vector>

namespace {

// Writes pics/pics.dat word by word, exactly as given (no masking).
void write_words(const std::vector<uint32_t>& words, size_t extra_zero_bytes = 0) {
    std::error_code err;
    std::filesystem::create_directories("pics", err);
    ASSERT_FALSE(err) << err.message();
    FILE* f = fopen("pics/pics.dat", "wb");
    ASSERT_NE(f, nullptr);
    for (uint32_t w : words) {
        unsigned char b[4] = {Uint8(w), Uint8(w >> 8), Uint8(w >> 16), Uint8(w >> 24)};
        fwrite(b, 1, 4, f);
    }
    for (size_t i = 0; i < extra_zero_bytes; ++i)
        fputc(0, f);
    fclose(f);
}

// An index of one entry per picture, all pointing at one picture right after it.
std::vector<uint32_t> one_picture_archive(int32_t w, int32_t h, const std::vector<uint32_t>& px) {
    std::vector<uint32_t> words(INDEX_ENTRIES, uint32_t(INDEX_BYTES));
    words.push_back(uint32_t(w));
    words.push_back(uint32_t(h));
    words.insert(words.end(), px.begin(), px.end());
    return words;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

int count_prefix(const std::vector<std::string>& lines, const std::string& prefix) {
    int n = 0;
    for (const std::string& l : lines)
        n += l.compare(0, prefix.size(), prefix) == 0;
    return n;
}

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

const std::string TOOL = std::string(VRILLON_TOOLS_DIR) + "/pics_tool";

class Archive : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        mkdir((dir.path + "/pics").c_str(), 0755); // no archive yet, but a place for one
    }
    ScratchGameDir dir{false, false};
    uint32_t table[INDEX_ENTRIES + 1] = {};
};

} // namespace

TEST_F(Archive, NoArchiveGivesSizeZeroNoEntriesAndNoPicture) {
    testing::internal::CaptureStdout();
    int size = define_indexTab_size();
    int n = load_index_tab(table, unsigned(size));
    SDL_Surface* s = reload_pic(table, 0);
    fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(size, 0);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(s, nullptr);
    EXPECT_NE(out.find("taille de l'index =0 octets\n"), std::string::npos);
    EXPECT_EQ(out.find("valeur"), std::string::npos);
}

TEST_F(Archive, IndexPrintsOneEntryPerPictureAndPictureZeroFollowsIt) {
    std::vector<ArchivePicture> pics;
    for (int i = 0; i < INDEX_ENTRIES; ++i)
        pics.push_back({i + 1, 2, std::vector<uint32_t>(size_t(i + 1) * 2, 0x010203u * i)});
    ASSERT_TRUE(write_archive("pics/pics.dat", pics));

    testing::internal::CaptureStdout();
    int size = define_indexTab_size();
    int n = load_index_tab(table, unsigned(size));
    fflush(stdout);
    std::vector<std::string> lines = lines_of(testing::internal::GetCapturedStdout());
    // One entry of four bytes per picture.
    EXPECT_EQ(size, INDEX_BYTES);
    EXPECT_EQ(n, INDEX_ENTRIES);
    EXPECT_EQ(table[0],
              uint32_t(INDEX_BYTES)); // word 0 is both the index size and picture 0's offset
    ASSERT_EQ(count_prefix(lines, "valeur "), INDEX_ENTRIES);
    EXPECT_EQ(lines[0], "taille de l'index =" + std::to_string(INDEX_BYTES) + " octets");
    char first[40];
    snprintf(first, sizeof first, "valeur 0 de l'index :%x", unsigned(INDEX_BYTES));
    EXPECT_EQ(lines[1], first);
    const std::string last = "valeur " + std::to_string(INDEX_ENTRIES - 1) + " de l'index :";
    EXPECT_EQ(lines[INDEX_ENTRIES].rfind(last, 0), 0u);

    // Each picture comes back with its own size and pixels.
    for (int i : {0, 7, INDEX_ENTRIES - 1}) {
        testing::internal::CaptureStdout();
        SDL_Surface* s = reload_pic(table, i);
        std::string out = testing::internal::GetCapturedStdout();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->w, i + 1);
        EXPECT_EQ(s->h, 2);
        EXPECT_EQ(pixel_at(s, i, 1), 0x010203u * i);
        char expect[64];
        snprintf(expect, sizeof expect, "taille fichier % d relue = %d*2\n", i, i + 1);
        EXPECT_NE(out.find(expect), std::string::npos) << out;
        surface_free(s);
    }
}

TEST_F(Archive, PixelWordsAreRedGreenBlueWithTopByteIgnoredAndRowsUnpadded) {
    std::vector<uint32_t> px(60, 0x00000000u);
    px[0] = 0xFFFF0000u; // top byte set: still pure red
    px[1] = 0x00FF0000u;
    px[29] = 0x000000FFu; // last of row 1
    px[30] = 0x0000FF00u; // first of row 2
    write_words(one_picture_archive(30, 2, px));
    testing::internal::CaptureStdout();
    load_index_tab(table, unsigned(define_indexTab_size()));
    SDL_Surface* s = reload_pic(table, 0);
    testing::internal::GetCapturedStdout();
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->w, 30);
    ASSERT_EQ(s->h, 2);
    Uint8 r, g, b;
    SDL_LockSurface(s);
    Uint32 raw = *static_cast<Uint32*>(s->pixels);
    SDL_UnlockSurface(s);
    // Cleared, not copied: the colour key compares whole pixel words.
    EXPECT_EQ(raw, 0x00FF0000u);
    SDL_GetRGB(raw, s->format, &r, &g, &b);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(pixel_at(s, 1, 0), 0xFF0000u);
    EXPECT_EQ(pixel_at(s, 29, 0), 0x0000FFu);
    EXPECT_EQ(pixel_at(s, 0, 1), 0x00FF00u);
    // Drawn onto another surface, the top byte makes no difference.
    SDL_Surface* dst = SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_Rect src = {0, 0, 2, 1};
    SDL_BlitSurface(s, &src, dst, nullptr);
    EXPECT_EQ(pixel_at(dst, 0, 0), 0xFF0000u);
    EXPECT_EQ(pixel_at(dst, 1, 0), 0xFF0000u);
    SDL_FreeSurface(dst);
    surface_free(s);

    // A picture read in several pieces, its word count no multiple of eight:
    // every word cleared, the last ones and those at each piece's edge too.
    const int w = 181, h = 199;
    px.assign(size_t(w) * h, 0);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = (uint32_t(i * 2654435761u) & 0xFFFFFFu) | (i % 2 ? 0xAB000000u : 0xFF000000u);
    write_words(one_picture_archive(w, h, px));
    testing::internal::CaptureStdout();
    s = reload_pic(table, 0);
    testing::internal::GetCapturedStdout();
    ASSERT_NE(s, nullptr);
    SDL_LockSurface(s);
    const Uint32* got = static_cast<const Uint32*>(s->pixels);
    size_t wrong = 0;
    for (size_t i = 0; i < px.size(); ++i)
        wrong += got[i] != (px[i] & 0xFFFFFFu);
    SDL_UnlockSurface(s);
    EXPECT_EQ(wrong, 0u);
    surface_free(s);
}

TEST(PutPixel, StoresOneToFourBytesAndNothingOutside) {
    for (int depth : {8, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 2, depth, 0, 0, 0, 0);
        ASSERT_NE(s, nullptr);
        int b = s->format->BytesPerPixel;
        ASSERT_EQ(b, depth / 8);
        SDL_LockSurface(s);
        std::vector<Uint8> before(static_cast<Uint8*>(s->pixels),
                                  static_cast<Uint8*>(s->pixels) + s->pitch * s->h);
        put_pixel(s, 5, 0xA1B2C3D4u);
        const Uint8* p = static_cast<Uint8*>(s->pixels) + 5 * b;
        switch (b) {
        case 1:
            EXPECT_EQ(p[0], 0xD4);
            break;
        case 2:
            EXPECT_EQ(*reinterpret_cast<const Uint16*>(p), 0xC3D4);
            break;
        case 3: // least significant byte first, whatever the machine
            EXPECT_EQ(p[0], 0xD4);
            EXPECT_EQ(p[1], 0xC3);
            EXPECT_EQ(p[2], 0xB2);
            break;
        default:
            EXPECT_EQ(*reinterpret_cast<const Uint32*>(p), 0xA1B2C3D4u);
            break;
        }
        // Neighbours untouched; positions outside the surface store nothing.
        EXPECT_EQ(p[-1], before[size_t(5 * b - 1)]);
        EXPECT_EQ(p[b], before[size_t(6 * b)]);
        std::vector<Uint8> after5(static_cast<Uint8*>(s->pixels),
                                  static_cast<Uint8*>(s->pixels) + s->pitch * s->h);
        put_pixel(s, -1, 0xFFFFFFFFu);
        put_pixel(s, s->pitch * s->h / b, 0xFFFFFFFFu);
        std::vector<Uint8> after(static_cast<Uint8*>(s->pixels),
                                 static_cast<Uint8*>(s->pixels) + s->pitch * s->h);
        EXPECT_EQ(after, after5);
        SDL_UnlockSurface(s);
        SDL_FreeSurface(s);
    }
    put_pixel(nullptr, 0, 1); // no surface: nothing happens
}

TEST_F(Archive, DamagedIndexesNeverReachOutsideTheTable) {
    // Short index: only two words on disk; the rest of the table is left alone.
    write_words({INDEX_BYTES, INDEX_BYTES});
    for (uint32_t& t : table)
        t = 0xDEADBEEFu;
    testing::internal::CaptureStdout();
    int n = load_index_tab(table, INDEX_BYTES);
    SDL_Surface* s = reload_pic(table, 5);
    SDL_Surface* s0 = reload_pic(table, 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(n, INDEX_ENTRIES);
    EXPECT_EQ(table[0], uint32_t(INDEX_BYTES));
    EXPECT_EQ(table[1], uint32_t(INDEX_BYTES));
    EXPECT_EQ(table[2], 0xDEADBEEFu);
    EXPECT_EQ(s, nullptr);  // offset beyond the file
    EXPECT_EQ(s0, nullptr); // header beyond the end

    // Word 0 above the index's size: only the entries the table holds are read.
    const uint32_t words = INDEX_ENTRIES + 6;
    std::vector<uint32_t> big(words, words * 4);
    big.push_back(1);
    big.push_back(1);
    big.push_back(0x123456);
    write_words(big);
    table[INDEX_ENTRIES] = 0xCAFEF00Du;
    testing::internal::CaptureStdout();
    int size = define_indexTab_size();
    n = load_index_tab(table, unsigned(size));
    SDL_Surface* p = reload_pic(table, INDEX_ENTRIES - 1);
    std::vector<std::string> lines = lines_of(testing::internal::GetCapturedStdout());
    EXPECT_EQ(size, int(words * 4));
    EXPECT_EQ(n, INDEX_ENTRIES);
    EXPECT_EQ(count_prefix(lines, "valeur "), INDEX_ENTRIES);
    EXPECT_EQ(table[INDEX_ENTRIES], 0xCAFEF00Du);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(pixel_at(p, 0, 0), 0x123456u);
    surface_free(p);
    EXPECT_EQ(reload_pic(table, INDEX_ENTRIES), nullptr);
    EXPECT_EQ(reload_pic(table, -1), nullptr);
}

TEST_F(Archive, DamagedPicturesGiveNullOrStayBlack) {
    testing::internal::CaptureStdout();
    // A short pixel run: the missing pixels stay black.
    write_words(one_picture_archive(4, 4, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}));
    load_index_tab(table, INDEX_BYTES);
    SDL_Surface* s = reload_pic(table, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(pixel_at(s, 0, 1), 0xFFFFFFu);
    EXPECT_EQ(pixel_at(s, 1, 1), 0u);
    EXPECT_EQ(pixel_at(s, 3, 3), 0u);
    surface_free(s);
    // A pixel word cut short is not half drawn.
    FILE* f = fopen("pics/pics.dat", "ab");
    ASSERT_NE(f, nullptr);
    fputs("\xFF\xFF", f);
    fclose(f);
    s = reload_pic(table, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(pixel_at(s, 0, 1), 0xFFFFFFu);
    EXPECT_EQ(pixel_at(s, 1, 1), 0u);
    surface_free(s);

    // Sizes that cannot be real: negative, huge, or too wide for a surface row.
    const int32_t bad[][2] = {{-1, 4},         {4, -1},   {-2, -2}, {0x7FFFFFFF, 0x7FFFFFFF},
                              {0x40000000, 4}, {20000, 1}};
    for (const auto& wh : bad) {
        SCOPED_TRACE(std::to_string(wh[0]) + " x " + std::to_string(wh[1]));
        // Enough bytes behind the header that only the size itself is wrong.
        write_words(one_picture_archive(wh[0], wh[1], {}), 20000 * 4 + 16);
        EXPECT_EQ(reload_pic(table, 0), nullptr);
    }
    // An empty picture is no damage: a 0 x 0 surface, no pixel read.
    write_words(one_picture_archive(0, 0, {}));
    s = reload_pic(table, 0);
    testing::internal::GetCapturedStdout();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->w, 0);
    surface_free(s);
}

TEST_F(Archive, OpenIndexTabFollowsTheCallingOrder) {
    std::vector<ArchivePicture> pics(INDEX_ENTRIES, ArchivePicture{1, 1, {0x00ABCDEF}});
    ASSERT_TRUE(write_archive("pics/pics.dat", pics));
    testing::internal::CaptureStdout();
    uint32_t* t = open_index_tab();
    SDL_Surface* s = reload_pic(t, 18);
    testing::internal::GetCapturedStdout();
    ASSERT_NE(t, nullptr);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(pixel_at(s, 0, 0), 0xABCDEFu);
    surface_free(s);
    free_index_tab(t);
}

// ---- the archive tool ----

namespace {
void save_bmp(const std::string& path, int w, int h, uint32_t seed) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(s, nullptr);
    SDL_LockSurface(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4) =
                (seed * 2654435761u + uint32_t(x * 7919 + y * 104729)) & 0xFFFFFF;
    SDL_UnlockSurface(s);
    ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0);
    SDL_FreeSurface(s);
}
} // namespace

TEST_F(Archive, ToolRoundTripGivesIdenticalBytes) {
    save_bmp("a.bmp", 3, 2, 1);
    save_bmp("b.bmp", 45, 30, 2);
    save_bmp("c.bmp", 7, 5, 3);
    std::string out;
    ASSERT_EQ(run_command(TOOL + " pack one.dat a.bmp b.bmp c.bmp"), 0);
    ASSERT_EQ(run_command(TOOL + " list one.dat", &out), 0);
    std::vector<std::string> lines = lines_of(out);
    ASSERT_EQ(lines.size(), 3u) << out;
    EXPECT_NE(lines[0].find("12"), std::string::npos); // picture 0 right after a 12-byte index
    EXPECT_NE(lines[0].find("3 x 2"), std::string::npos);
    EXPECT_NE(lines[1].find("45 x 30"), std::string::npos);
    EXPECT_NE(lines[2].find("7 x 5"), std::string::npos);
    ASSERT_EQ(run_command(TOOL + " extract one.dat out"), 0);
    ASSERT_EQ(run_command(TOOL + " pack two.dat out"), 0);
    std::string one = slurp("one.dat");
    EXPECT_EQ(one.size(), 12u + 3 * 8 + 4 * (6 + 1350 + 35));
    EXPECT_EQ(one, slurp("two.dat"));

    // The pictures read back by the game's own loader.
    ASSERT_EQ(system("mkdir -p pics && cp one.dat pics/pics.dat"), 0);
    testing::internal::CaptureStdout();
    load_index_tab(table, unsigned(define_indexTab_size()));
    SDL_Surface* s = reload_pic(table, 1);
    testing::internal::GetCapturedStdout();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->w, 45);
    EXPECT_EQ(pixel_at(s, 10, 20), (2 * 2654435761u + 10 * 7919 + 20 * 104729) & 0xFFFFFF);
    surface_free(s);

    // The archive the build made survives the same trip byte for byte.
    std::string game = std::string(VRILLON_GAME_DIR) + "/pics/pics.dat";
    ASSERT_EQ(run_command(TOOL + " extract '" + game + "' game_out"), 0);
    ASSERT_EQ(run_command(TOOL + " pack again.dat game_out"), 0);
    EXPECT_TRUE(slurp(game) == slurp("again.dat"));
}

TEST_F(Archive, ToolRefusesBadUseAndDamagedArchives) {
    EXPECT_EQ(run_command(TOOL), 2);
    EXPECT_EQ(run_command(TOOL + " frobnicate x"), 2);
    EXPECT_EQ(run_command(TOOL + " list"), 2);
    EXPECT_NE(run_command(TOOL + " list missing.dat"), 0);
    EXPECT_NE(run_command(TOOL + " pack out.dat missing.bmp"), 0);
    ASSERT_EQ(system("mkdir -p empty"), 0);
    EXPECT_NE(run_command(TOOL + " pack out.dat empty"), 0);

    save_bmp("a.bmp", 4, 4, 9);
    ASSERT_EQ(run_command(TOOL + " pack good.dat a.bmp a.bmp"), 0);
    std::string good = slurp("good.dat");
    auto write = [](const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    };
    // Cut in the pixels, in the header, in the index; index size not a
    // multiple of 4; index larger than the file; a huge width.
    write("cut_pixels.dat", good.substr(0, good.size() - 10));
    write("cut_header.dat", good.substr(0, 8 + 8 + 64 + 4));
    write("cut_index.dat", good.substr(0, 2));
    std::string odd = good;
    odd[0] = 7;
    write("odd.dat", odd);
    std::string beyond = good;
    beyond[1] = 0x10;
    write("beyond.dat", beyond);
    std::string wide = good;
    wide[8 + 3] = 0x7F;
    write("wide.dat", wide);
    for (const char* f : {"cut_pixels.dat", "cut_header.dat", "cut_index.dat", "odd.dat",
                          "beyond.dat", "wide.dat"}) {
        SCOPED_TRACE(f);
        EXPECT_EQ(run_command(TOOL + " list " + f), 1);
        EXPECT_EQ(run_command(TOOL + " extract " + f + " x_" + f), 1);
    }
    // A damaged archive still lists its intact pictures.
    std::string out;
    run_command(TOOL + " list cut_pixels.dat", &out);
    EXPECT_NE(out.find(" 0  offset"), std::string::npos);
    EXPECT_NE(out.find("4 x 4\n"), std::string::npos);
    EXPECT_NE(out.find("damaged"), std::string::npos);
}

// ---- the archive the build generates ----

namespace {
bool is_key(uint32_t v) {
    return (v & 0xFFFFFF) == 0x7D7D7D;
}

// Frame [x0, x0 + w) of a keyed strip: returns the number of covered pixels.
int covered(const ArchivePicture& p, int x0, int w) {
    int n = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = x0; x < x0 + w; ++x)
            n += !is_key(p.pixels[size_t(y) * p.width + x]);
    return n;
}
} // namespace

TEST(GeneratedArchive, HoldsEveryPictureOfTheSizeTheGameUses) {
    std::vector<ArchivePicture> pics;
    ASSERT_TRUE(read_archive((std::string(VRILLON_GAME_DIR) + "/pics/pics.dat").c_str(), pics));
    ASSERT_EQ(pics.size(), size_t(PICTURE_COUNT));
    int sizes[PICTURE_COUNT][2] = {};
    const int screen[2] = {640, 240}, device[2] = {45, 30};
    for (PictureNumber p : {PIC_MENU, PIC_OPTION, PIC_HALL})
        std::copy(screen, screen + 2, sizes[p]);
    for (PictureNumber p : {PIC_CLAVIER, PIC_JOYSTICK, PIC_SOURIS})
        std::copy(device, device + 2, sizes[p]);
    sizes[PIC_TERRAIN][0] = 1040;
    sizes[PIC_TERRAIN][1] = 180;
    sizes[PIC_EXPLODE][0] = 216;
    sizes[PIC_EXPLODE][1] = 30;
    sizes[PIC_BOARD][0] = 640;
    sizes[PIC_BOARD][1] = 60;
    sizes[PIC_CHRONO][0] = 120;
    sizes[PIC_CHRONO][1] = 30;
    sizes[PIC_ARROW][0] = 40;
    sizes[PIC_ARROW][1] = 30;
    // Each character's portrait and running strip (test_characters holds them to the table).
    for (const CharacterRow& row : CHARACTER_TABLE) {
        sizes[row.portrait][0] = 30;
        sizes[row.portrait][1] = 30;
        sizes[row.sprites][0] = row.runner.frameWidth * row.runner.frames;
        sizes[row.sprites][1] = row.runner.frameHeight;
    }
    for (int i = 0; i < PICTURE_COUNT; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pics[i].width, sizes[i][0]);
        EXPECT_EQ(pics[i].height, sizes[i][1]);
    }

    // The menu erases the arrow and the option text with black.
    const ArchivePicture& menu = pics[0];
    for (int y = 50; y < 185; ++y)
        for (int x = 60; x < 100; ++x)
            ASSERT_EQ(menu.pixels[size_t(y) * 640 + x], 0u) << x << "," << y;
    for (int y = 203; y < 228; ++y)
        for (int x = 210; x < 255; ++x)
            ASSERT_EQ(menu.pixels[size_t(y) * 640 + x], 0u) << x << "," << y;

    // Sprite strips: key grey around every frame, a figure in each, and no
    // figure running into the next frame.
    for (int who = 0; who < CHARACTER_COUNT; ++who) {
        const ArchivePicture& strip = pics[CHARACTER_TABLE[who].sprites];
        int fw = CHARACTER_TABLE[who].runner.frameWidth;
        for (int f = 0; f < CHARACTER_TABLE[who].runner.frames; ++f) {
            SCOPED_TRACE("strip " + std::to_string(who) + " frame " + std::to_string(f));
            EXPECT_TRUE(is_key(strip.pixels[size_t(f * fw)]));
            EXPECT_TRUE(is_key(strip.pixels[size_t(strip.height - 1) * strip.width + f * fw]));
            EXPECT_GT(covered(strip, f * fw, fw), fw * strip.height / 8);
            EXPECT_LE(covered(strip, f * fw, 1) + covered(strip, f * fw + fw - 1, 1), 6);
        }
    }
    // Explosion: seven frames with a key-grey gap column after each.
    const ArchivePicture& boom = pics[15];
    for (int k = 0; k < 7; ++k) {
        SCOPED_TRACE("explosion frame " + std::to_string(k));
        EXPECT_GT(covered(boom, 31 * k, 30), 10);
        if (31 * k + 30 < boom.width) {
            EXPECT_EQ(covered(boom, 31 * k + 30, 1), 0);
        }
        EXPECT_TRUE(is_key(boom.pixels[size_t(31 * k)]));
    }
    EXPECT_GT(covered(boom, 93, 30), covered(boom, 0, 30)); // it grows from a spark
    // Arrow: key grey corners, an opaque middle.
    const ArchivePicture& arrow = pics[18];
    EXPECT_TRUE(is_key(arrow.pixels[0]));
    EXPECT_TRUE(is_key(arrow.pixels[size_t(29) * 40 + 39]));
    EXPECT_FALSE(is_key(arrow.pixels[size_t(15) * 40 + 20]));
}

TEST(GeneratedArchive, WindowIconIsA32PixelBmp) {
    SDL_Surface* icon = SDL_LoadBMP((std::string(VRILLON_GAME_DIR) + "/pics/sonic.bmp").c_str());
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->w, 32);
    EXPECT_EQ(icon->h, 32);
    SDL_FreeSurface(icon);
}
