// Drawing sprites and backgrounds, and the texture functions.
#include <cmath>
#include <numbers>

#include "code/Code_Error.h"
#include "library/Function_Graphics.h"
#include "library/Function_Support.h"
#include "run/Room_Draw.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"
#include "world/Instance_Class.h"

namespace px {

void Stretched(Drawing& d, const TextureTable& textures, int texture, double x, double y, double w,
               double h, std::uint32_t colour, double alpha) {
  const RTexture* t = textures.Get(texture);
  if (!t || !(w > 0) || !(h > 0) || t->width <= 0 || t->height <= 0) return;
  d.TextureExt(texture, 0, 0, x, y, w / t->width, h / t->height, 0, colour, alpha);
}

TileArea RoomArea(const Runtime& rt) {
  if (rt.rooms.current)
    return {static_cast<double>(rt.rooms.current->data.width),
            static_cast<double>(rt.rooms.current->data.height)};
  return {static_cast<double>(rt.display.regionWidth),
          static_cast<double>(rt.display.regionHeight)};
}

namespace {

using Args = const FunctionArgs&;

constexpr std::uint32_t kWhite = 0xFFFFFF;

std::uint32_t Colour(const RValue& v) {
  return static_cast<std::uint32_t>(RealToInt(v.real)) & 0xFFFFFF;
}
double Radians(const RValue& degrees) {
  return degrees.real * std::numbers::pi / 180.0;
}

// The sprite of the first argument and the texture of the image in the
// second; reports a missing sprite.
struct SpriteImage {
  const CSprite* sprite = nullptr;
  int texture = -1;
};
SpriteImage FindSprite(Runtime& rt, CInstanceBase* self, Args a, const char* missing) {
  const CSprite* sprite = rt.resources.sprites.get(IntArg(a[0]));
  if (!sprite) {
    RuntimeError(rt, missing);
    return {};
  }
  return {sprite, SpriteImageTexture(*sprite, self, a[1].real)};
}
constexpr const char* kNoSprite = "Trying to draw non-existing sprite.";
constexpr const char* kNoBackground = "Trying to draw non-existing background.";

const CBackground* FindBackground(Runtime& rt, const RValue& v, const char* missing) {
  const CBackground* b = rt.resources.backgrounds.get(IntArg(v));
  if (!b) RuntimeError(rt, missing);
  return b;
}

#define PX_IMAGE_FN(name)                                                                    \
  void name(Runtime& rt, [[maybe_unused]] CInstanceBase* self, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args a)

// ---- Sprites ----

PX_IMAGE_FN(DrawSprite) {
  const auto [s, tex] = FindSprite(rt, self, a, kNoSprite);
  if (s) rt.display.draw.TextureQuad(tex, a[2].real - s->xoffset, a[3].real - s->yoffset);
}
PX_IMAGE_FN(DrawSpriteExt) {
  const auto [s, tex] = FindSprite(rt, self, a, kNoSprite);
  if (s)
    rt.display.draw.TextureExt(tex, s->xoffset, s->yoffset, a[2].real, a[3].real, a[4].real,
                               a[5].real, Radians(a[6]), Colour(a[7]), a[8].real);
}
PX_IMAGE_FN(DrawSpriteStretched) {
  const auto [s, tex] = FindSprite(rt, self, a, kNoSprite);
  if (s)
    Stretched(rt.display.draw, rt.display.textures, tex, a[2].real, a[3].real, a[4].real, a[5].real,
              kWhite, 1);
}
PX_IMAGE_FN(DrawSpriteStretchedExt) {
  const auto [s, tex] = FindSprite(rt, self, a, kNoSprite);
  if (s)
    Stretched(rt.display.draw, rt.display.textures, tex, a[2].real, a[3].real, a[4].real, a[5].real,
              Colour(a[6]), a[7].real);
}
PX_IMAGE_FN(DrawSpritePart) {
  const auto [s, tex] = FindSprite(rt, self, a, kNoSprite);
  if (s)
    rt.display.draw.TexturePartExt(tex, a[2].real, a[3].real, a[4].real, a[5].real, a[6].real,
                                   a[7].real, 1, 1, 0, kWhite, 1);
}
PX_IMAGE_FN(DrawSpritePartExt) {
  const auto [s, tex] = FindSprite(rt, self, a, kNoSprite);
  if (s)
    rt.display.draw.TexturePartExt(tex, a[2].real, a[3].real, a[4].real, a[5].real, a[6].real,
                                   a[7].real, a[8].real, a[9].real, 0, Colour(a[10]), a[11].real);
}
PX_IMAGE_FN(DrawSpriteGeneral) {
  const auto [s, tex] = FindSprite(rt, self, a, kNoSprite);
  if (s)
    rt.display.draw.TextureGeneral(tex, a[2].real, a[3].real, a[4].real, a[5].real, a[6].real,
                                   a[7].real, a[8].real, a[9].real, Radians(a[10]), Colour(a[11]),
                                   Colour(a[12]), Colour(a[13]), Colour(a[14]), a[15].real);
}
PX_IMAGE_FN(DrawSpriteTiled) {
  const auto [s, tex] = FindSprite(rt, self, a, kNoSprite);
  if (!s) return;
  const TileArea area = RoomArea(rt);
  rt.display.draw.TextureTiled(tex, s->xoffset, s->yoffset, a[2].real, a[3].real, 1, 1, true, true,
                               0, 0, area.width, area.height, kWhite, 1);
}
PX_IMAGE_FN(DrawSpriteTiledExt) {
  const auto [s, tex] = FindSprite(rt, self, a, kNoSprite);
  if (!s) return;
  const TileArea area = RoomArea(rt);
  rt.display.draw.TextureTiled(tex, s->xoffset, s->yoffset, a[2].real, a[3].real, a[4].real,
                               a[5].real, true, true, 0, 0, area.width, area.height, Colour(a[6]),
                               a[7].real);
}

// ---- Backgrounds ----

PX_IMAGE_FN(DrawBackground) {
  if (const CBackground* b = FindBackground(rt, a[0], kNoBackground))
    rt.display.draw.TextureQuad(b->texture, a[1].real, a[2].real);
}
PX_IMAGE_FN(DrawBackgroundExt) {
  if (const CBackground* b = FindBackground(rt, a[0], kNoBackground))
    rt.display.draw.TextureExt(b->texture, 0, 0, a[1].real, a[2].real, a[3].real, a[4].real,
                               Radians(a[5]), Colour(a[6]), a[7].real);
}
PX_IMAGE_FN(DrawBackgroundStretched) {
  if (const CBackground* b = FindBackground(rt, a[0], kNoBackground))
    Stretched(rt.display.draw, rt.display.textures, b->texture, a[1].real, a[2].real, a[3].real,
              a[4].real, kWhite, 1);
}
PX_IMAGE_FN(DrawBackgroundStretchedExt) {
  if (const CBackground* b = FindBackground(rt, a[0], kNoBackground))
    Stretched(rt.display.draw, rt.display.textures, b->texture, a[1].real, a[2].real, a[3].real,
              a[4].real, Colour(a[5]), a[6].real);
}
PX_IMAGE_FN(DrawBackgroundPart) {
  if (const CBackground* b = FindBackground(rt, a[0], kNoBackground))
    rt.display.draw.TexturePartExt(b->texture, a[1].real, a[2].real, a[3].real, a[4].real,
                                   a[5].real, a[6].real, 1, 1, 0, kWhite, 1);
}
PX_IMAGE_FN(DrawBackgroundPartExt) {
  if (const CBackground* b = FindBackground(rt, a[0], kNoBackground))
    rt.display.draw.TexturePartExt(b->texture, a[1].real, a[2].real, a[3].real, a[4].real,
                                   a[5].real, a[6].real, a[7].real, a[8].real, 0, Colour(a[9]),
                                   a[10].real);
}
PX_IMAGE_FN(DrawBackgroundGeneral) {
  if (const CBackground* b = FindBackground(rt, a[0], kNoBackground))
    rt.display.draw.TextureGeneral(b->texture, a[1].real, a[2].real, a[3].real, a[4].real,
                                   a[5].real, a[6].real, a[7].real, a[8].real, Radians(a[9]),
                                   Colour(a[10]), Colour(a[11]), Colour(a[12]), Colour(a[13]),
                                   a[14].real);
}
PX_IMAGE_FN(DrawBackgroundTiled) {
  if (const CBackground* b = FindBackground(rt, a[0], kNoBackground)) {
    const TileArea area = RoomArea(rt);
    rt.display.draw.TextureTiled(b->texture, 0, 0, a[1].real, a[2].real, 1, 1, true, true, 0, 0,
                                 area.width, area.height, kWhite, 1);
  }
}
PX_IMAGE_FN(DrawBackgroundTiledExt) {
  if (const CBackground* b = FindBackground(rt, a[0], kNoBackground)) {
    const TileArea area = RoomArea(rt);
    rt.display.draw.TextureTiled(b->texture, 0, 0, a[1].real, a[2].real, a[3].real, a[4].real, true,
                                 true, 0, 0, area.width, area.height, Colour(a[5]), a[6].real);
  }
}

// ---- Textures ----

PX_IMAGE_FN(SpriteGetTexture) {
  const auto [s, tex] = FindSprite(rt, self, a, "Trying to get texture from non-existing sprite.");
  result.setReal(s ? tex : -1);
}
PX_IMAGE_FN(BackgroundGetTexture) {
  const CBackground* b =
      FindBackground(rt, a[0], "Trying to get texture from non-existing background.");
  result.setReal(b ? b->texture : -1);
}
PX_IMAGE_FN(TextureExists) {
  result.setReal(Truth(rt.display.textures.TextureExists(IntArg(a[0]))));
}
PX_IMAGE_FN(TextureGetWidth) {
  result.setReal(rt.display.textures.UScale(IntArg(a[0])));
}
PX_IMAGE_FN(TextureGetHeight) {
  result.setReal(rt.display.textures.VScale(IntArg(a[0])));
}
PX_IMAGE_FN(TexturePreload) {
  rt.display.textures.PreloadTexture(IntArg(a[0]));
}
PX_IMAGE_FN(TextureSetPriority) {
  rt.display.textures.SetTexturePriority(IntArg(a[0]), a[1].real);
}

#undef PX_IMAGE_FN

constexpr FunctionDef kImageDrawingFunctions[] = {
    {"draw_sprite", DrawSprite},
    {"draw_sprite_ext", DrawSpriteExt},
    {"draw_sprite_stretched", DrawSpriteStretched},
    {"draw_sprite_stretched_ext", DrawSpriteStretchedExt},
    {"draw_sprite_part", DrawSpritePart},
    {"draw_sprite_part_ext", DrawSpritePartExt},
    {"draw_sprite_general", DrawSpriteGeneral},
    {"draw_sprite_tiled", DrawSpriteTiled},
    {"draw_sprite_tiled_ext", DrawSpriteTiledExt},
    {"draw_background", DrawBackground},
    {"draw_background_ext", DrawBackgroundExt},
    {"draw_background_stretched", DrawBackgroundStretched},
    {"draw_background_stretched_ext", DrawBackgroundStretchedExt},
    {"draw_background_part", DrawBackgroundPart},
    {"draw_background_part_ext", DrawBackgroundPartExt},
    {"draw_background_general", DrawBackgroundGeneral},
    {"draw_background_tiled", DrawBackgroundTiled},
    {"draw_background_tiled_ext", DrawBackgroundTiledExt},
    {"sprite_get_texture", SpriteGetTexture},
    {"background_get_texture", BackgroundGetTexture},
    {"texture_exists", TextureExists},
    {"texture_get_width", TextureGetWidth},
    {"texture_get_height", TextureGetHeight},
    {"texture_preload", TexturePreload},
    {"texture_set_priority", TextureSetPriority},
};

}  // namespace

std::span<const FunctionDef> ImageDrawingFunctions() {
  return kImageDrawingFunctions;
}

}  // namespace px
