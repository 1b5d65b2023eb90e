// Surfaces through the functions of game code: drawing into them and
// drawing them back in every form, pixels, copies, the target rules, bad
// input, saved images and the loss of the device.
#include "graphics/Graphics_Surface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "graphics/Graphics_TestSupport.h"
#include "platform/Platform_Picture.h"

using namespace px;
using pxtest::Call;
using pxtest::CallReal;
using pxtest::CallReals;
using pxtest::DeviceRun;
using pxtest::Near;
using pxtest::Real;
using pxtest::Str;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr std::uint32_t kBlack = 0xFF000000;
// The same colours as game code writes them, 0xBBGGRR.
constexpr double cRed = 0x0000FF, cGreen = 0x00FF00, cBlue = 0xFF0000, cWhite = 0xFFFFFF;

RValue Name(const std::string& name) {
  return RValue::FromString(name);
}

std::string LastError(DeviceRun& run) {
  return run.rt.code.report.last;
}

// An 8 × 8 surface, red with a green 4 × 4 square at its top-left corner;
// the back buffer is the target again afterwards.
double RedWithGreenCorner(DeviceRun& run) {
  const double s = CallReal(run, "surface_create", {8, 8});
  EXPECT_EQ(CallReal(run, "surface_set_target", {s}), 1);
  CallReal(run, "draw_clear", {cRed});
  run.Fill(0, 0, 4, 4, kGreen);
  EXPECT_EQ(CallReal(run, "surface_reset_target", {}), 1);
  return s;
}

std::vector<std::uint8_t> FileBytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TempFolder {
 public:
  TempFolder() : path_(std::filesystem::temp_directory_path() / "pxrun_surface_test") {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace

TEST(Surfaces, DrawnBackInEveryForm) {
  DeviceRun run;
  const double s = RedWithGreenCorner(run);
  const struct {
    const char* name;
    std::vector<double> args;
    double background;
    // Sample points and what each shows.
    std::vector<std::tuple<int, int, std::uint32_t>> samples;
  } cases[] = {
      {"draw_surface",
       {s, 10, 20},
       0,
       {{11, 21, kGreen}, {15, 21, kRed}, {9, 21, kBlack}, {18, 27, kBlack}}},
      {"draw_surface_ext",
       {s, 10, 20, 2, 2, 0, cWhite, 1},
       0,
       {{17, 27, kGreen}, {19, 29, kRed}, {25, 35, kRed}, {26, 36, kBlack}}},
      // Turned a quarter counter-clockwise about its top-left corner.
      {"draw_surface_ext",
       {s, 20, 20, 1, 1, 90, cWhite, 1},
       0,
       {{21, 18, kGreen}, {21, 14, kRed}, {21, 22, kBlack}}},
      {"draw_surface_ext", {s, 0, 0, 1, 1, 0, cWhite, 0.5}, cBlue, {{1, 1, 0xFF007F80}}},
      {"draw_surface_stretched",
       {s, 0, 0, 16, 32},
       0,
       {{7, 15, kGreen}, {8, 16, kRed}, {15, 31, kRed}, {16, 32, kBlack}}},
      {"draw_surface_stretched_ext",
       {s, 0, 0, 8, 8, cRed, 1},
       cBlue,
       {{1, 1, kBlack}, {6, 6, kRed}}},
      {"draw_surface_stretched", {s, 0, 0, 0, 32}, cBlue, {{1, 1, kBlue}}},
      {"draw_surface_part",
       {s, 2, 2, 4, 4, 30, 30},
       0,
       {{30, 30, kGreen}, {31, 31, kGreen}, {32, 32, kRed}, {34, 34, kBlack}}},
      {"draw_surface_part_ext",
       {s, 2, 2, 4, 4, 30, 30, 2, 2, cWhite, 1},
       0,
       {{33, 33, kGreen}, {34, 34, kRed}, {37, 37, kRed}, {38, 38, kBlack}}},
      {"draw_surface_general",
       {s, 0, 0, 8, 8, 40, 10, 1, 1, 0, cWhite, cWhite, cWhite, cWhite, 1},
       0,
       {{41, 11, kGreen}, {46, 16, kRed}, {48, 18, kBlack}}},
      // Repeated over the room (here the region, 64 × 48).
      {"draw_surface_tiled",
       {s, 0, 0},
       0,
       {{9, 9, kGreen}, {13, 9, kRed}, {57, 41, kGreen}, {61, 41, kRed}}},
      {"draw_surface_tiled_ext",
       {s, 0, 0, 2, 2, cWhite, 1},
       0,
       {{17, 1, kGreen}, {25, 1, kRed}, {33, 33, kGreen}}},
  };
  for (const auto& c : cases) {
    CallReal(run, "draw_clear", {c.background});
    CallReals(run, c.name, c.args);
    for (const auto& [x, y, colour] : c.samples)
      EXPECT_TRUE(Near(run.Pixel(x, y), colour, 1)) << c.name << " at " << x << "," << y;
  }
}

TEST(Surfaces, PixelsAndCopiesWithTheirClipping) {
  DeviceRun run;
  const double a = RedWithGreenCorner(run);
  EXPECT_EQ(CallReal(run, "surface_getpixel", {a, 1, 1}), cGreen);
  EXPECT_EQ(CallReal(run, "surface_getpixel", {a, 5, 5}), cRed);
  EXPECT_EQ(CallReal(run, "surface_getpixel", {a, 8, 0}), 0);        // outside
  EXPECT_EQ(CallReal(run, "surface_getpixel", {a, -1, 0}), cGreen);  // cut to 0
  // A new surface is transparent black.
  const double b = CallReal(run, "surface_create", {8, 8});
  EXPECT_EQ(CallReal(run, "surface_getpixel", {b, 3, 3}), 0);
  CallReal(run, "surface_copy", {b, 2, 2, a});
  EXPECT_EQ(CallReal(run, "surface_getpixel", {b, 1, 1}), 0);
  EXPECT_EQ(CallReal(run, "surface_getpixel", {b, 2, 2}), cGreen);
  EXPECT_EQ(CallReal(run, "surface_getpixel", {b, 7, 7}), cRed);

  const double c = CallReal(run, "surface_create", {16, 8});
  const struct {
    std::vector<double> args;  // x, y, xs, ys, ws, hs
    std::vector<std::pair<int, double>> row1;
  } copies[] = {
      // A negative source corner moves the destination: 3 columns at x 5.
      {{0, 0, -5, 0, 8, 8}, {{4, 0}, {5, cGreen}, {7, cGreen}, {8, 0}}},
      // A negative destination corner moves the source instead.
      {{-2, 0, 0, 0, 8, 8}, {{0, cGreen}, {1, cGreen}, {2, cRed}, {6, 0}}},
      // Cut to the destination's right edge.
      {{12, 0, 0, 0, 8, 8}, {{12, cGreen}, {15, cGreen}, {11, 0}}},
      {{0, 0, 0, 0, 0, 8}, {{0, 0}}},
  };
  for (const auto& copy : copies) {
    CallReal(run, "surface_free", {c});
    ASSERT_EQ(CallReal(run, "surface_create", {16, 8}), c);
    const auto& v = copy.args;
    CallReals(run, "surface_copy_part", {c, v[0], v[1], a, v[2], v[3], v[4], v[5]});
    for (const auto& [x, colour] : copy.row1)
      EXPECT_EQ(CallReal(run, "surface_getpixel", {c, double(x), 1}), colour)
          << "copy from " << v[2] << " to " << v[0] << ", pixel " << x;
  }
  // Onto itself the device refuses: nothing changes.
  CallReal(run, "surface_copy", {a, 4, 4, a});
  EXPECT_EQ(CallReal(run, "surface_getpixel", {a, 5, 5}), cRed);
}

// Sprites and backgrounds made from a rectangle of a surface, and the
// error of a missing surface.
TEST(Surfaces, SpritesAndBackgroundsFromARectangle) {
  DeviceRun run;
  const double s = RedWithGreenCorner(run);
  // The 4 × 4 square from (2, 2): green in its top-left 2 × 2, red elsewhere.
  const double sprite = CallReal(run, "sprite_create_from_surface", {s, 2, 2, 4, 4, 0, 0, 1, 3});
  ASSERT_GE(sprite, 0);
  EXPECT_EQ(CallReal(run, "sprite_get_width", {sprite}), 4);
  EXPECT_EQ(CallReal(run, "sprite_get_xoffset", {sprite}), 1);
  EXPECT_EQ(CallReal(run, "sprite_get_yoffset", {sprite}), 3);
  CallReal(run, "sprite_add_from_surface", {sprite, s, 0, 0, 4, 4, 0, 0});
  EXPECT_EQ(CallReal(run, "sprite_get_number", {sprite}), 2);
  const double back = CallReal(run, "background_create_from_surface", {s, 4, 0, 4, 8, 0, 0});
  ASSERT_GE(back, 0);
  EXPECT_EQ(CallReal(run, "background_get_width", {back}), 4);
  EXPECT_EQ(CallReal(run, "background_get_height", {back}), 8);
  // Drawn back, the sprite's image shows the surface's pixels.
  CallReal(run, "draw_clear", {0});
  CallReals(run, "draw_sprite", {sprite, 0, 11, 13});
  EXPECT_EQ(run.Pixel(10, 10), kGreen);
  EXPECT_EQ(run.Pixel(13, 13), kRed);

  run.rt.code.report.last.clear();
  EXPECT_EQ(CallReal(run, "sprite_create_from_surface", {99, 0, 0, 4, 4, 0, 0, 0, 0}), -1);
  EXPECT_NE(LastError(run).find("Trying to use non-existing surface."), std::string::npos);
  EXPECT_EQ(CallReal(run, "background_create_from_surface", {99, 0, 0, 4, 4, 0, 0}), -1);
}

TEST(Surfaces, TargetRules) {
  DeviceRun run;
  EXPECT_EQ(CallReal(run, "surface_set_target", {0}), 0);  // none yet
  EXPECT_EQ(CallReal(run, "surface_reset_target", {}), 0);
  CallReal(run, "draw_clear", {cBlue});
  const double s = CallReal(run, "surface_create", {16, 16});
  const double t = CallReal(run, "surface_create", {16, 16});
  EXPECT_EQ(CallReal(run, "surface_set_target", {s}), 1);
  EXPECT_EQ(CallReal(run, "surface_set_target", {s}), 1);  // already: nothing changes
  CallReal(run, "draw_clear", {cRed});
  // draw_getpixel reads the back buffer whatever the target.
  EXPECT_EQ(CallReal(run, "draw_getpixel", {1, 1}), cBlue);
  EXPECT_EQ(CallReal(run, "surface_getpixel", {s, 15, 15}), cRed);
  // Another surface takes over.
  EXPECT_EQ(CallReal(run, "surface_set_target", {t}), 1);
  CallReal(run, "draw_clear", {cGreen});
  EXPECT_EQ(CallReal(run, "surface_getpixel", {s, 1, 1}), cRed);
  EXPECT_EQ(CallReal(run, "surface_getpixel", {t, 1, 1}), cGreen);
  EXPECT_EQ(run.rt.display.surfaces.currentTarget(), t);
  // Back in the back buffer, with the viewport and projection of all of it.
  EXPECT_EQ(CallReal(run, "surface_reset_target", {}), 1);
  EXPECT_EQ(CallReal(run, "surface_reset_target", {}), 0);
  run.Fill(40, 30, 42, 32, kRed);
  EXPECT_EQ(run.Pixel(40, 30), kRed);
  EXPECT_EQ(run.Pixel(39, 30), kBlue);
  // Freeing the target sends drawing back to the back buffer.
  CallReal(run, "surface_set_target", {s});
  CallReal(run, "surface_free", {s});
  EXPECT_EQ(run.rt.display.surfaces.currentTarget(), -1);
  run.Fill(0, 0, 2, 2, kGreen);
  EXPECT_EQ(run.Pixel(1, 1), kGreen);
  EXPECT_EQ(CallReal(run, "surface_reset_target", {}), 0);
}

TEST(Surfaces, BadInput) {
  DeviceRun run;
  const int largest = run.device().caps().maxTextureSize;
  for (const auto& size : std::vector<std::pair<double, double>>{
           {0, 5}, {5, 0}, {-3, 4}, {double(largest) + 1, 1}, {1, double(largest) + 1}})
    EXPECT_EQ(CallReal(run, "surface_create", {size.first, size.second}), -1)
        << size.first << " x " << size.second;
  // Sizes round like every integer argument.
  const double s = CallReal(run, "surface_create", {4.6, 2.5});
  EXPECT_EQ(CallReal(run, "surface_get_width", {s}), 5);
  EXPECT_EQ(CallReal(run, "surface_get_height", {s}), 2);
  EXPECT_EQ(CallReal(run, "surface_get_texture", {s}),
            run.rt.display.surfaces.Get(int(s))->texture);

  // A freed surface is missing; its slot goes to the next new one.
  const double t = CallReal(run, "surface_create", {8, 8});
  CallReal(run, "surface_free", {s});
  CallReal(run, "surface_free", {s});  // twice: nothing
  EXPECT_EQ(CallReal(run, "surface_exists", {s}), 0);
  EXPECT_EQ(CallReal(run, "surface_exists", {t}), 1);
  for (const char* field : {"surface_get_width", "surface_get_height", "surface_get_texture"})
    EXPECT_EQ(CallReal(run, field, {s}), -1) << field;
  EXPECT_EQ(CallReal(run, "surface_set_target", {s}), 0);
  run.rt.code.report.last.clear();
  CallReal(run, "draw_surface", {s, 0, 0});  // draws nothing, says nothing
  EXPECT_EQ(LastError(run), "");
  const struct {
    const char* name;
    std::vector<px::RValue> args;
  } missing[] = {
      {"surface_getpixel", {Real(s), Real(0), Real(0)}},
      {"surface_save", {Real(s), Str("x.png")}},
      {"surface_save_part", {Real(s), Str("x.png"), Real(0), Real(0), Real(1), Real(1)}},
      {"surface_copy", {Real(t), Real(0), Real(0), Real(s)}},
      {"surface_copy_part",
       {Real(s), Real(0), Real(0), Real(t), Real(0), Real(0), Real(1), Real(1)}},
  };
  for (const auto& m : missing) {
    run.rt.code.report.last.clear();
    EXPECT_EQ(pxtest::CallWith(run, m.name, m.args).real, 0) << m.name;
    EXPECT_TRUE(LastError(run).ends_with("Trying to use non-existing surface.")) << m.name;
  }
  EXPECT_EQ(CallReal(run, "surface_create", {3, 3}), s);

  // Drawing a surface into itself draws nothing.
  CallReal(run, "surface_set_target", {t});
  CallReal(run, "draw_clear", {cRed});
  CallReal(run, "draw_surface_ext", {t, 0, 0, 1, 1, 0, cBlue, 1});
  CallReal(run, "draw_surface_tiled", {t, 3, 3});
  EXPECT_EQ(CallReal(run, "surface_getpixel", {t, 4, 4}), cRed);
  CallReal(run, "surface_reset_target", {});

  // Made and freed over and over, the table and the device stay small.
  Renderer& renderer = *run.device().renderer();
  const int textures = renderer.textureCount();
  for (int i = 0; i < 10000; ++i) {
    const double u = CallReal(run, "surface_create", {16, 16});
    if (i % 2) CallReal(run, "surface_set_target", {u});
    CallReal(run, "surface_free", {u});
  }
  EXPECT_EQ(renderer.textureCount(), textures);
  EXPECT_LE(run.rt.display.surfaces.slotCount(), 3);
  EXPECT_LE(run.rt.display.textures.slotCount(), textures + 1);
}

TEST(Surfaces, SavedImagesMatchTheirPixels) {
  DeviceRun run;
  const TempFolder folder;
  CallReal(run, "draw_clear", {cBlue});
  run.Fill(2, 3, 5, 6, kGreen);
  Call(run, "screen_save", {Name(folder / "shot.PNG")});
  Call(run, "screen_save", {Name(folder / "shot.jpg")});
  Call(run, "screen_save_part", {Name(folder / "part.png"), Real(2), Real(3), Real(10), Real(100)});
  const TBitmap32 frame = run.Frame();
  const std::vector<std::uint8_t> png = FileBytes(folder / "shot.PNG");
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png[1], 'P');
  EXPECT_EQ(DecodePicture(png), frame);
  // Any other extension: a bitmap file whatever the name says.
  const std::vector<std::uint8_t> bmp = FileBytes(folder / "shot.jpg");
  ASSERT_GT(bmp.size(), 2u);
  EXPECT_EQ(std::string(bmp.begin(), bmp.begin() + 2), "BM");
  EXPECT_EQ(TBitmap32::FromBMP(bmp), frame);
  // The part is cut to the back buffer.
  const auto part = DecodePicture(FileBytes(folder / "part.png"));
  ASSERT_TRUE(part);
  EXPECT_EQ(part->width(), 10);
  EXPECT_EQ(part->height(), 45);
  EXPECT_EQ(part->GetPixel(0, 0), kGreen);
  EXPECT_EQ(part->GetPixel(3, 0), kBlue);

  // A surface keeps its alpha in the file.
  const double s = CallReal(run, "surface_create", {6, 4});
  CallReal(run, "surface_set_target", {s});
  CallReal(run, "draw_clear_alpha", {cRed, 0.5});
  CallReal(run, "surface_reset_target", {});
  Call(run, "surface_save", {Real(s), Name(folder / "surface.png")});
  Call(run, "surface_save_part",
       {Real(s), Name(folder / "corner.png"), Real(-3), Real(1), Real(5), Real(5)});
  const auto saved = DecodePicture(FileBytes(folder / "surface.png"));
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->width(), 6);
  EXPECT_TRUE(Near(saved->GetPixel(5, 3), 0x80FF0000, 1));
  const auto corner = DecodePicture(FileBytes(folder / "corner.png"));
  ASSERT_TRUE(corner);
  EXPECT_EQ(corner->width(), 5);
  EXPECT_EQ(corner->height(), 3);

  // Empty names are reported; unwritable ones are ignored.
  const struct {
    const char* name;
    std::vector<px::RValue> args;
    const char* message;
  } failures[] = {
      {"screen_save", {Str("")}, "Trying to save screen to empty image file name."},
      {"screen_save_part",
       {Str(""), Real(0), Real(0), Real(1), Real(1)},
       "Trying to save screen to empty image file name."},
      {"surface_save", {Real(s), Str("")}, "Trying to save surface to empty image file name."},
      {"screen_save", {Name(folder / "no/such/folder/x.png")}, ""},
      {"surface_save", {Real(s), Name(folder / "no/such/folder/x.bmp")}, ""},
  };
  for (const auto& f : failures) {
    run.rt.code.report.last.clear();
    pxtest::CallWith(run, f.name, f.args);
    if (*f.message)
      EXPECT_TRUE(LastError(run).ends_with(f.message)) << f.name << ": " << LastError(run);
    else
      EXPECT_EQ(LastError(run), "") << f.name;
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "no"));
  // The core of screen_save, for callers outside game code.
  EXPECT_TRUE(SaveScreen(run.device(), folder / "core.png"));
  EXPECT_EQ(DecodePicture(FileBytes(folder / "core.png")), frame);
}

TEST(Surfaces, GoWithTheDevice) {
  DeviceRun run;
  const double s = CallReal(run, "surface_create", {8, 8});
  CallReal(run, "surface_set_target", {s});
  ASSERT_TRUE(run.device().Reset());
  EXPECT_EQ(CallReal(run, "surface_exists", {s}), 0);
  EXPECT_EQ(run.rt.display.surfaces.currentTarget(), -1);
  // Drawing goes to the back buffer again, and new surfaces work.
  CallReal(run, "draw_clear", {cGreen});
  EXPECT_EQ(CallReal(run, "draw_getpixel", {5, 5}), cGreen);
  const double t = CallReal(run, "surface_create", {8, 8});
  EXPECT_EQ(t, 0);
  CallReal(run, "surface_set_target", {t});
  CallReal(run, "draw_clear", {cRed});
  EXPECT_EQ(CallReal(run, "surface_getpixel", {t, 5, 5}), cRed);
  // A lost context takes them as well.
  CallReal(run, "surface_reset_target", {});
  ASSERT_TRUE(run.rt.display.window()->recreateContext());
  EXPECT_FALSE(run.rt.display.EndFramePresent());
  EXPECT_EQ(CallReal(run, "surface_exists", {t}), 0);
  EXPECT_EQ(run.device().renderer()->textureCount(), 0);
}
