// Sprites made and changed by game code: numbering and names, pictures cut
// into strips, GIF frames, sprite files, copies, merges, saving, masks, and
// what failures leave behind.
#include "library/Function_Sprite.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Support_Stream.h"
#include "platform/Platform_Picture.h"
#include "resources/Sprite_File.h"
#include "system/File_TestSupport.h"

namespace {

using namespace px;
using pxtest::CallReal;
using pxtest::Real;
using pxtest::Str;

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kGreen = 0xFF00FF00;

// A w × h image of one colour with a rectangle of another.
TBitmap32 Picture(int w, int h, std::uint32_t fill, std::uint32_t inner = 0, int x1 = 0, int y1 = 0,
                  int x2 = -1, int y2 = -1) {
  TBitmap32 image;
  image.SetSizeFilled(w, h, fill);
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) image.SetPixel(x, y, inner);
  return image;
}

// A GIF of a 4 × 2 screen with a global table (0 red, 1 green, 2 blue,
// 3 black) and frames of palette indices; each frame's LZW data starts a
// new table every two codes, so every code stays three bits wide.
std::vector<std::uint8_t> Gif(const std::vector<std::vector<std::uint8_t>>& frames) {
  std::vector<std::uint8_t> g = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 2,   0, 0xF1, 0, 0,
                                 255, 0,   0,   0,   255, 0,   0, 0, 255, 0, 0,    0};
  for (const auto& pixels : frames) {
    g.insert(g.end(), {0x2C, 0, 0, 0, 0, 4, 0, 2, 0, 0, 2});
    std::vector<std::uint8_t> data;
    std::uint32_t bits = 0;
    int count = 0;
    auto put = [&](std::uint32_t code) {
      bits |= code << count;
      count += 3;
      while (count >= 8) {
        data.push_back(static_cast<std::uint8_t>(bits));
        bits >>= 8;
        count -= 8;
      }
    };
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      if (i % 2 == 0) put(4);  // clear
      put(pixels[i]);
    }
    put(5);  // end of information
    if (count > 0) data.push_back(static_cast<std::uint8_t>(bits));
    g.push_back(static_cast<std::uint8_t>(data.size()));
    g.insert(g.end(), data.begin(), data.end());
    g.push_back(0);
  }
  g.push_back(0x3B);
  return g;
}

struct SpriteEditing : testing::Test {
  pxtest::InScratchDir dir;
  pxtest::TestRun run;
  GameResources& res = run.rt.resources;

  void SetUp() override {
    run.rt.settings.showErrors = false;
    for (int i = 0; i < 12; ++i) {
      CSprite s;
      s.images = {Picture(8, 6, kRed)};
      res.sprites.add("spr" + std::to_string(i), s);
    }
    Picture(100, 20, kRed, kBlue, 0, 0, 49, 19).SavePNG("strip.png");
  }

  double Do(std::string_view name, std::initializer_list<double> args) {
    return CallReal(run, name, args);
  }
  double Add(const std::string& file, double count, double transparent = 0, double xo = 0,
             double yo = 0) {
    return pxtest::Call(
               run, "sprite_add",
               {Str(file.c_str()), Real(count), Real(transparent), Real(0), Real(xo), Real(yo)})
        .real;
  }
  const CSprite& Sprite(int i) { return *res.sprites.get(i); }
  std::string Name(int i) { return pxtest::Call(run, "sprite_get_name", {Real(i)}).str(); }
};

TEST_F(SpriteEditing, NewSpritesAreNumberedAfterTheOthersAndFailuresGiveTheNumberBack) {
  EXPECT_EQ(Add("missing.png", 1), -1);
  EXPECT_EQ(res.sprites.count(), 12);
  EXPECT_EQ(Add("strip.png", 1), 12);
  EXPECT_EQ(Name(12), "__newsprite12");

  EXPECT_EQ(Do("sprite_delete", {3}), 1);
  EXPECT_EQ(Do("sprite_exists", {3}), 0);
  EXPECT_EQ(Name(3), "<undefined>");
  EXPECT_EQ(Do("sprite_get_width", {3}), -1);
  EXPECT_EQ(Do("sprite_duplicate", {0}), 13);
  EXPECT_EQ(Name(13), "__newsprite13");

  // Assigning into the deleted slot fills it without a name; bad numbers
  // and missing sources change nothing.
  Do("sprite_assign", {3, 12});
  EXPECT_EQ(Do("sprite_exists", {3}), 1);
  EXPECT_EQ(Name(3), "");
  EXPECT_EQ(Do("sprite_get_width", {3}), 100);
  const pxtest::ReportCase errors[] = {
      {"Error assigning a sprite.", "sprite_assign", {Real(3), Real(99)}},
      {"Error assigning a sprite.", "sprite_assign", {Real(-1), Real(0)}},
      {"Error assigning a sprite.", "sprite_assign", {Real(14), Real(0)}},
      {"Trying to delete non-existing sprite.", "sprite_delete", {Real(99)}},
      {"Trying to duplicate non-existing sprite.", "sprite_duplicate", {Real(-1)}},
      {"Trying to replace non-existing sprite.",
       "sprite_replace",
       {Real(50), Str("strip.png"), Real(1), Real(0), Real(0), Real(0), Real(0)}},
      {"Trying to replace non-existing sprite.",
       "sprite_replace_sprite",
       {Real(50), Str("x.pxspr")}},
      {"Trying to merge to non-existing sprite.", "sprite_merge", {Real(50), Real(0)}},
      {"Trying to merge from non-existing sprite.", "sprite_merge", {Real(0), Real(50)}},
      {"Trying to add to non-existing sprite.",
       "sprite_add_from_screen",
       {Real(50), Real(0), Real(0), Real(1), Real(1), Real(0), Real(0)}},
      {"Trying to save non-existing sprite bitmap.",
       "sprite_save",
       {Real(50), Real(0), Str("a.png")}},
      {"Trying to save sprite bitmap to empty image file name.",
       "sprite_save",
       {Real(0), Real(0), Str("")}},
      {"Trying to save sprite bitmap to empty image file name.",
       "sprite_save_strip",
       {Real(0), Str("")}},
      {"Trying to set collision mode for non-existing sprite.",
       "sprite_collision_mask",
       {Real(50), Real(0), Real(0), Real(0), Real(0), Real(0), Real(0), Real(0), Real(0)}},
  };
  pxtest::ExpectReports(run, errors);
  EXPECT_EQ(res.sprites.count(), 14);
  EXPECT_EQ(Name(3), "");
}

TEST_F(SpriteEditing, StripsAreCutIntoEqualImagesWithOriginAndBox) {
  const struct {
    double count;
    std::size_t images;
    int width;
  } cases[] = {{4, 4, 25}, {0, 1, 100}, {-3, 1, 100}, {3, 3, 33}, {200, 200, 0}};
  for (const auto& c : cases) {
    const int s = static_cast<int>(Add("strip.png", c.count, 0, 7, -2));
    ASSERT_GE(s, 0) << c.count;
    EXPECT_EQ(Sprite(s).images.size(), c.images) << c.count;
    EXPECT_EQ(Do("sprite_get_number", {double(s)}), double(c.images));
    EXPECT_EQ(Do("sprite_get_width", {double(s)}), c.width) << c.count;
    EXPECT_EQ(Do("sprite_get_height", {double(s)}), c.width ? 20 : 0) << c.count;
    EXPECT_EQ(Do("sprite_get_xoffset", {double(s)}), 7);
    EXPECT_EQ(Do("sprite_get_yoffset", {double(s)}), -2);
  }
  // The second quarter is blue, the third red.
  const CSprite& quarters = Sprite(12);
  EXPECT_EQ(quarters.images[1].GetPixel(0, 0), kBlue);
  EXPECT_EQ(quarters.images[2].GetPixel(24, 19), kRed);
  // Opaque images: one shared precise mask, the box the whole image.
  EXPECT_EQ(quarters.masks.size(), 1u);
  EXPECT_EQ(Do("sprite_get_bbox_right", {12}), 24);
  EXPECT_EQ(Do("sprite_get_bbox_bottom", {12}), 19);
}

TEST_F(SpriteEditing, TheBottomLeftColourBecomesTransparentAndShapesTheMask) {
  // Green with a red block at x 2..5, y 1..3; the bottom-left pixel is green.
  Picture(8, 6, kGreen, kRed, 2, 1, 5, 3).SavePNG("block.png");
  const int s = static_cast<int>(Add("block.png", 1, 1));
  EXPECT_EQ(Sprite(s).images[0].GetPixel(0, 0) >> 24, 0u);
  EXPECT_EQ(Sprite(s).images[0].GetPixel(3, 2), kRed);
  EXPECT_EQ(Do("sprite_get_bbox_left", {double(s)}), 2);
  EXPECT_EQ(Do("sprite_get_bbox_top", {double(s)}), 1);
  EXPECT_EQ(Do("sprite_get_bbox_right", {double(s)}), 5);
  EXPECT_EQ(Do("sprite_get_bbox_bottom", {double(s)}), 3);
  // A manual rectangle box replaces it.
  Do("sprite_collision_mask", {double(s), 0, 2, 1, 0, 6, 4, 1, 0});
  EXPECT_EQ(Do("sprite_get_bbox_left", {double(s)}), 1);
  EXPECT_EQ(Do("sprite_get_bbox_right", {double(s)}), 6);
  EXPECT_EQ(Do("sprite_get_bbox_bottom", {double(s)}), 4);
  EXPECT_TRUE(Sprite(s).masks[0].solid(1, 0));
}

TEST_F(SpriteEditing, GifFilesLoadFrameByFrameWhateverTheCount) {
  pxtest::WriteBytes(dir.path() / "anim.GIF",
                     Gif({{0, 0, 1, 1, 2, 2, 3, 3}, {1, 1, 1, 1, 1, 1, 1, 1}}));
  const int s = static_cast<int>(Add("anim.GIF", 5));
  ASSERT_EQ(s, 12);
  ASSERT_EQ(Sprite(s).images.size(), 2u);
  const TBitmap32& first = Sprite(s).images[0];
  EXPECT_EQ(first.width(), 4);
  EXPECT_EQ(first.height(), 2);
  EXPECT_EQ(first.GetPixel(0, 0), kRed);
  EXPECT_EQ(first.GetPixel(2, 0), kGreen);
  EXPECT_EQ(first.GetPixel(1, 1), kBlue);
  EXPECT_EQ(Sprite(s).images[1].GetPixel(3, 1), kGreen);
  // A broken GIF leaves the sprite as it was.
  pxtest::WriteText(dir.path() / "broken.gif", "GIF89a");
  EXPECT_EQ(pxtest::Call(run, "sprite_replace",
                         {Real(s), Str("broken.gif"), Real(1), Real(0), Real(0), Real(0), Real(0)})
                .real,
            0);
  EXPECT_EQ(Sprite(s).images.size(), 2u);
}

TEST_F(SpriteEditing, FailedReplacementsLeaveWhatTheirFileKindSays) {
  pxtest::WriteText(dir.path() / "notes.txt", "not a picture");
  CStream wrongVersion;
  StreamWriteInt(wrongVersion, kResourceFileMagic);
  CStream body;
  StreamWriteInt(body, 799);
  StreamWriteCompressedBlock(wrongVersion, body.bytes());
  pxtest::WriteBytes(dir.path() / "old.pxspr", wrongVersion.bytes());
  auto replace = [&](const char* file) {
    return pxtest::Call(run, "sprite_replace",
                        {Real(1), Str(file), Real(1), Real(0), Real(0), Real(0), Real(0)})
        .real;
  };
  auto replaceSprite = [&](const char* file) {
    return pxtest::Call(run, "sprite_replace_sprite", {Real(2), Str(file)}).real;
  };
  EXPECT_EQ(replace("missing.png"), 0);
  EXPECT_EQ(Sprite(1).images.size(), 1u);
  EXPECT_EQ(replace("notes.txt"), 0);
  EXPECT_TRUE(Sprite(1).images.empty());
  EXPECT_EQ(replaceSprite("missing.pxspr"), 0);
  EXPECT_EQ(replaceSprite("notes.txt"), 0);
  EXPECT_EQ(Sprite(2).images.size(), 1u);
  EXPECT_EQ(replaceSprite("old.pxspr"), 0);
  EXPECT_TRUE(Sprite(2).images.empty());
  EXPECT_EQ(Do("sprite_get_width", {2}), 1);
  EXPECT_EQ(replace("strip.png"), 1);
  EXPECT_EQ(Do("sprite_get_width", {1}), 100);
}

TEST_F(SpriteEditing, HostilePictureHeadersAreRefusedBeforeDecoding) {
  // A PNG header claiming 100,000 × 100,000 pixels, and a BMP one.
  std::vector<std::uint8_t> png = {0x89, 'P',  'N', 'G', '\r', '\n', 0x1A, '\n', 0,    0, 0,
                                   13,   'I',  'H', 'D', 'R',  0,    1,    0x86, 0xA0, 0, 1,
                                   0x86, 0xA0, 8,   6,   0,    0,    0,    0,    0,    0, 0};
  pxtest::WriteBytes(dir.path() / "huge.png", png);
  std::vector<std::uint8_t> bmp(54, 0);
  bmp[0] = 'B', bmp[1] = 'M', bmp[14] = 40;
  bmp[18] = 0xA0, bmp[19] = 0x86, bmp[20] = 1;
  bmp[22] = 0xA0, bmp[23] = 0x86, bmp[24] = 1;
  bmp[26] = 1, bmp[28] = 32;
  pxtest::WriteBytes(dir.path() / "huge.bmp", bmp);
  EXPECT_EQ(Add("huge.png", 1), -1);
  EXPECT_EQ(Add("huge.bmp", 1), -1);
  EXPECT_EQ(res.sprites.count(), 12);
}

TEST_F(SpriteEditing, SpriteFilesBringImagesOriginAndMaskSettings) {
  SpriteFileData data;
  data.xoffset = 3;
  data.yoffset = 4;
  data.images = {Picture(10, 8, kRed), Picture(10, 8, kBlue)};
  data.shape = 1;
  data.separateMasks = true;
  data.boxMode = 2;
  data.left = 1, data.right = 6, data.bottom = 5, data.top = 2;
  pxtest::WriteBytes(dir.path() / "ship.pxspr", WriteSpriteFile(data));
  const double s = pxtest::Call(run, "sprite_add_sprite", {Str("ship.pxspr")}).real;
  ASSERT_EQ(s, 12);
  EXPECT_EQ(Sprite(12).images.size(), 2u);
  EXPECT_EQ(Sprite(12).masks.size(), 2u);
  EXPECT_EQ(Do("sprite_get_xoffset", {s}), 3);
  const double box[] = {Do("sprite_get_bbox_left", {s}), Do("sprite_get_bbox_top", {s}),
                        Do("sprite_get_bbox_right", {s}), Do("sprite_get_bbox_bottom", {s})};
  EXPECT_EQ(std::vector<double>(std::begin(box), std::end(box)), (std::vector<double>{1, 2, 6, 5}));
  EXPECT_EQ(pxtest::Call(run, "sprite_add_sprite", {Str("nothing.pxspr")}).real, -1);
  EXPECT_EQ(res.sprites.count(), 13);
}

TEST_F(SpriteEditing, MergesResizeToTheTargetsSizeAndCopiesAreDeep) {
  Add("strip.png", 4);  // 12: four 25 × 20 images
  const int empty = res.sprites.add("empty", CSprite{});
  Do("sprite_merge", {double(empty), 12});
  ASSERT_EQ(Sprite(empty).images.size(), 4u);
  EXPECT_EQ(Sprite(empty).images[3].width(), 1);
  EXPECT_EQ(Sprite(empty).images[3].height(), 1);

  Do("sprite_merge", {0, 12});  // 8 × 6 with four more
  EXPECT_EQ(Sprite(0).images.size(), 5u);
  EXPECT_EQ(Sprite(0).images[2].width(), 8);
  EXPECT_EQ(Sprite(0).images[2].GetPixel(0, 0), kBlue);
  Do("sprite_merge", {12, 12});  // into itself: each image once more
  EXPECT_EQ(Sprite(12).images.size(), 8u);

  const int copy = static_cast<int>(Do("sprite_duplicate", {12}));
  res.sprites.get(12)->images[0].SetPixel(0, 0, kGreen);
  EXPECT_EQ(Sprite(copy).images[0].GetPixel(0, 0), kBlue);
  EXPECT_EQ(Sprite(copy).masks.size(), Sprite(12).masks.size());
}

TEST_F(SpriteEditing, SavedImagesArePngOrBitmapByNameAndStripsAlwaysPng) {
  Add("strip.png", 4);
  const struct {
    const char* function;
    std::vector<RValue> args;
    const char* file;
    const char* magic;  // "" for no file
  } cases[] = {
      {"sprite_save", {Real(12), Real(1), Str("one.PNG")}, "one.PNG", "\x89PNG"},
      {"sprite_save", {Real(12), Real(1), Str("one.bmp")}, "one.bmp", "BM"},
      {"sprite_save", {Real(12), Real(4), Str("none.png")}, "none.png", ""},
      {"sprite_save_strip", {Real(12), Str("all.bmp")}, "all.bmp", "\x89PNG"},
  };
  for (const auto& c : cases) {
    pxtest::CallWith(run, c.function, c.args);
    const bool exists = std::filesystem::exists(dir.path() / c.file);
    EXPECT_EQ(exists, *c.magic != 0) << c.file;
    if (exists) {
      EXPECT_EQ(pxtest::ReadFile(dir.path() / c.file).rfind(c.magic, 0), 0u) << c.file;
    }
  }
  TBitmap32 strip;
  ASSERT_TRUE(LoadPictureFile(strip, (dir.path() / "all.bmp").string()));
  EXPECT_EQ(strip.width(), 100);
  EXPECT_EQ(strip.GetPixel(30, 5), kBlue);
  TBitmap32 one;
  ASSERT_TRUE(LoadPictureFile(one, (dir.path() / "one.PNG").string()));
  EXPECT_EQ(one.width(), 25);
  EXPECT_EQ(one.GetPixel(0, 0), kBlue);
}

TEST_F(SpriteEditing, OffsetsAndAlphaFromAnotherSprite) {
  Do("sprite_set_offset", {0, 4.5, -1.5});
  EXPECT_EQ(Sprite(0).xoffset, 4);
  EXPECT_EQ(Sprite(0).yoffset, -2);
  Do("sprite_set_offset", {99, 1, 1});
  CSprite grey;
  grey.images = {Picture(8, 6, 0xFF808080)};
  res.sprites.add("grey", grey);
  Do("sprite_set_alpha_from_sprite", {0, 12});
  EXPECT_EQ(Sprite(0).images[0].GetPixel(0, 0) >> 24, 0x80u);
  EXPECT_EQ(Sprite(0).masks.empty(), true);  // masks stay as they were
}

}  // namespace
