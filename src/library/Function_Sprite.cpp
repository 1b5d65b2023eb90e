// Sprites made and changed by game code. New sprites are appended as
// "__newsprite" + number; an addition whose loading fails gives its number
// back. Every change of images ends with new textures and rebuilt masks.
#include "library/Function_Sprite.h"

#include <string>
#include <string_view>

#include "code/Code_Error.h"
#include "graphics/Graphics_Texture.h"
#include "library/Function_Support.h"
#include "run/Run_Error.h"
#include "run/Runner_Sprite.h"
#include "run/Runtime.h"

namespace px {

std::optional<TBitmap32> SurfaceRectangle(Runtime& rt, const FunctionArgs& a, std::size_t first) {
  const int id = IntArg(a[first]);
  if (!rt.display.surfaces.Get(id)) {
    RuntimeError(rt, "Trying to use non-existing surface.");
    return std::nullopt;
  }
  return rt.display.surfaces.Read(id, IntArg(a[first + 1]), IntArg(a[first + 2]),
                                  IntArg(a[first + 3]), IntArg(a[first + 4]));
}

namespace {

using Args = const FunctionArgs&;

#define PX_SPRITE_FN(name)                                                              \
  void name([[maybe_unused]] Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args a)

CSprite* SpriteArg(Runtime& rt, const RValue& v) {
  return rt.resources.sprites.get(IntArg(v));
}

// The sprite named by an argument; reports a missing one with `message`.
CSprite* SpriteOrError(Runtime& rt, const RValue& v, std::string_view message) {
  CSprite* sprite = SpriteArg(rt, v);
  if (!sprite) RuntimeError(rt, message);
  return sprite;
}

// A new empty slot at the end of the list, named by its number.
int AppendSprite(Runtime& rt) {
  ResourceList<CSprite>& sprites = rt.resources.sprites;
  return sprites.add("__newsprite" + std::to_string(sprites.count()), CSprite{});
}

// Appends a sprite and loads it; a failed load takes the number back.
template <class Load>
void AddLoaded(Runtime& rt, RValue& result, Load&& load) {
  const int index = AppendSprite(rt);
  if (!load(*rt.resources.sprites.get(index))) {
    rt.resources.sprites.resize(index);
    result.setReal(-1);
    return;
  }
  result.setReal(index);
}

// The two flags of the screen and surface forms count only above 0.5.
ImagePreparation ScreenPreparation(const RValue& transparent, const RValue& smooth) {
  return {transparent.real > 0.5, smooth.real > 0.5};
}

ImagePreparation PicturePreparation(const RValue& transparent, const RValue& smooth) {
  return {FlagArg(transparent), FlagArg(smooth)};
}

PX_SPRITE_FN(SetOffset) {
  if (CSprite* sprite = SpriteArg(rt, a[0])) {
    sprite->xoffset = IntArg(a[1]);
    sprite->yoffset = IntArg(a[2]);
  }
}

PX_SPRITE_FN(SetAlphaFromSprite) {
  CSprite* sprite = SpriteArg(rt, a[0]);
  const CSprite* other = SpriteArg(rt, a[1]);
  if (sprite && other) SetSpriteAlphaFrom(rt, *sprite, *other);
}

PX_SPRITE_FN(CreateFromScreen) {
  TBitmap32 image = Prepared(ReadScreen(rt, IntArg(a[0]), IntArg(a[1]), IntArg(a[2]), IntArg(a[3])),
                             ScreenPreparation(a[4], a[5]));
  const int index = AppendSprite(rt);
  CSprite& sprite = *rt.resources.sprites.get(index);
  sprite.images.push_back(std::move(image));
  sprite.xoffset = IntArg(a[6]);
  sprite.yoffset = IntArg(a[7]);
  RemakeSprite(rt, sprite, false);
  result.setReal(index);
}

PX_SPRITE_FN(CreateFromSurface) {
  const std::optional<TBitmap32> read = SurfaceRectangle(rt, a, 0);
  if (!read) {
    result.setReal(-1);
    return;
  }
  const int index = AppendSprite(rt);
  CSprite& sprite = *rt.resources.sprites.get(index);
  sprite.images.push_back(Prepared(*read, ScreenPreparation(a[5], a[6])));
  sprite.xoffset = IntArg(a[7]);
  sprite.yoffset = IntArg(a[8]);
  RemakeSprite(rt, sprite, false);
  result.setReal(index);
}

PX_SPRITE_FN(AddFromSurface) {
  CSprite* sprite = SpriteOrError(rt, a[0], "Trying to add to non-existing sprite.");
  if (!sprite) return;
  if (const std::optional<TBitmap32> read = SurfaceRectangle(rt, a, 1))
    AddSpriteImage(rt, *sprite, Prepared(*read, ScreenPreparation(a[6], a[7])));
}

PX_SPRITE_FN(AddFromScreen) {
  CSprite* sprite = SpriteOrError(rt, a[0], "Trying to add to non-existing sprite.");
  if (!sprite) return;
  AddSpriteImage(rt, *sprite,
                 Prepared(ReadScreen(rt, IntArg(a[1]), IntArg(a[2]), IntArg(a[3]), IntArg(a[4])),
                          ScreenPreparation(a[5], a[6])));
}

PX_SPRITE_FN(Add) {
  AddLoaded(rt, result, [&](CSprite& sprite) {
    return LoadSpritePicture(rt, sprite, a[0].str(), IntArg(a[1]), PicturePreparation(a[2], a[3]),
                             IntArg(a[4]), IntArg(a[5]));
  });
}

constexpr char kNoReplace[] = "Trying to replace non-existing sprite.";

PX_SPRITE_FN(Replace) {
  CSprite* sprite = SpriteOrError(rt, a[0], kNoReplace);
  if (!sprite) return;
  result.setReal(
      Truth(LoadSpritePicture(rt, *sprite, a[1].str(), IntArg(a[2]), PicturePreparation(a[3], a[4]),
                              IntArg(a[5]), IntArg(a[6]))));
}

PX_SPRITE_FN(AddSprite) {
  AddLoaded(rt, result, [&](CSprite& sprite) { return LoadSpriteFile(rt, sprite, a[0].str()); });
}

PX_SPRITE_FN(ReplaceSprite) {
  CSprite* sprite = SpriteOrError(rt, a[0], kNoReplace);
  if (!sprite) return;
  result.setReal(Truth(LoadSpriteFile(rt, *sprite, a[1].str())));
}

PX_SPRITE_FN(Delete) {
  const int index = IntArg(a[0]);
  CSprite* sprite = SpriteOrError(rt, a[0], "Trying to delete non-existing sprite.");
  if (!sprite) return;
  FreeTextures(rt.display.textures, *sprite);
  rt.resources.sprites.remove(index);
  result.setReal(1);
}

PX_SPRITE_FN(Duplicate) {
  const CSprite* source = SpriteOrError(rt, a[0], "Trying to duplicate non-existing sprite.");
  if (!source) return;
  const int index = AppendSprite(rt);
  CopySprite(rt, *rt.resources.sprites.get(index), *source);
  result.setReal(index);
}

PX_SPRITE_FN(Assign) {
  ResourceList<CSprite>& sprites = rt.resources.sprites;
  const int index = IntArg(a[0]);
  const CSprite* source = SpriteArg(rt, a[1]);
  if (!source || index < 0 || index >= sprites.count()) {
    RuntimeError(rt, "Error assigning a sprite.");
    return;
  }
  CSprite* target = sprites.get(index);
  if (!target) target = &sprites.set(index, "", CSprite{});  // an emptied slot keeps no name
  CopySprite(rt, *target, *source);
}

PX_SPRITE_FN(Merge) {
  CSprite* target = SpriteOrError(rt, a[0], "Trying to merge to non-existing sprite.");
  if (!target) return;
  const CSprite* source = SpriteOrError(rt, a[1], "Trying to merge from non-existing sprite.");
  if (!source) return;
  MergeSprite(rt, *target, *source);
}

// The sprite to save from, and its file name; null after reporting either
// a missing sprite or an empty name.
const CSprite* SpriteToSave(Runtime& rt, const RValue& index, const std::string& file) {
  const CSprite* sprite = SpriteOrError(rt, index, "Trying to save non-existing sprite bitmap.");
  if (sprite && file.empty()) {
    RuntimeError(rt, "Trying to save sprite bitmap to empty image file name.");
    return nullptr;
  }
  return sprite;
}

PX_SPRITE_FN(Save) {
  const std::string file = a[2].str();
  const CSprite* sprite = SpriteToSave(rt, a[0], file);
  if (!sprite) return;
  const std::int64_t image = RealToCount(a[1].real);
  if (image < 0 || image >= static_cast<std::int64_t>(sprite->images.size())) return;
  SaveImageFile(rt, sprite->images[static_cast<std::size_t>(image)], file, false);
}

PX_SPRITE_FN(SaveStrip) {
  const std::string file = a[1].str();
  const CSprite* sprite = SpriteToSave(rt, a[0], file);
  if (!sprite || sprite->images.empty()) return;
  SaveImageFile(rt, SpriteStrip(*sprite), file, true);
}

#undef PX_SPRITE_FN

// The _surface forms are registered with the surfaces; sprite_collision_mask
// with the collision functions.
constexpr FunctionDef kSpriteFunctions[] = {
    {"sprite_set_offset", SetOffset},
    {"sprite_set_alpha_from_sprite", SetAlphaFromSprite},
    {"sprite_create_from_screen", CreateFromScreen},
    {"sprite_add_from_screen", AddFromScreen},
    {"sprite_create_from_surface", CreateFromSurface},
    {"sprite_add_from_surface", AddFromSurface},
    {"sprite_add", Add},
    {"sprite_replace", Replace},
    {"sprite_add_sprite", AddSprite},
    {"sprite_replace_sprite", ReplaceSprite},
    {"sprite_delete", Delete},
    {"sprite_duplicate", Duplicate},
    {"sprite_assign", Assign},
    {"sprite_merge", Merge},
    {"sprite_save", Save},
    {"sprite_save_strip", SaveStrip},
};

}  // namespace

std::span<const FunctionDef> SpriteFunctions() {
  return kSpriteFunctions;
}

}  // namespace px
