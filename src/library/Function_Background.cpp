// Backgrounds made and changed by game code. New backgrounds are appended
// as "__newbackground" + number; an addition whose loading fails gives its
// number back. Every change of the image ends with a new texture.
#include <string>

#include "base/BM32_Gradient.h"
#include "code/Code_Error.h"
#include "graphics/Graphics_Texture.h"
#include "library/Function_Sprite.h"
#include "library/Function_Support.h"
#include "run/Run_Error.h"
#include "run/Runner_Sprite.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

#define PX_BACKGROUND_FN(name)                                                          \
  void name([[maybe_unused]] Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args a)

CBackground* BackgroundArg(Runtime& rt, const RValue& v) {
  return rt.resources.backgrounds.get(IntArg(v));
}

CBackground* BackgroundOrError(Runtime& rt, const RValue& v, std::string_view message) {
  CBackground* background = BackgroundArg(rt, v);
  if (!background) RuntimeError(rt, message);
  return background;
}

int AppendBackground(Runtime& rt) {
  ResourceList<CBackground>& backgrounds = rt.resources.backgrounds;
  return backgrounds.add("__newbackground" + std::to_string(backgrounds.count()), CBackground{});
}

// A new background holding the image, its number as the result.
void AddImage(Runtime& rt, RValue& result, TBitmap32 image) {
  const int index = AppendBackground(rt);
  SetBackgroundImage(rt, *rt.resources.backgrounds.get(index), std::move(image));
  result.setReal(index);
}

template <class Load>
void AddLoaded(Runtime& rt, RValue& result, Load&& load) {
  const int index = AppendBackground(rt);
  if (!load(*rt.resources.backgrounds.get(index))) {
    rt.resources.backgrounds.resize(index);
    result.setReal(-1);
    return;
  }
  result.setReal(index);
}

ImagePreparation PreparationArgs(const RValue& transparent, const RValue& smooth) {
  return {FlagArg(transparent), FlagArg(smooth)};
}

std::uint32_t ColourArg(const RValue& v) {
  return static_cast<std::uint32_t>(IntArg(v));
}

PX_BACKGROUND_FN(SetAlphaFromBackground) {
  CBackground* background = BackgroundArg(rt, a[0]);
  const CBackground* other = BackgroundArg(rt, a[1]);
  if (background && other) SetBackgroundAlphaFrom(rt, *background, *other);
}

PX_BACKGROUND_FN(CreateFromScreen) {
  AddImage(rt, result,
           Prepared(ReadScreen(rt, IntArg(a[0]), IntArg(a[1]), IntArg(a[2]), IntArg(a[3])),
                    PreparationArgs(a[4], a[5])));
}

PX_BACKGROUND_FN(CreateFromSurface) {
  if (const std::optional<TBitmap32> read = SurfaceRectangle(rt, a, 0))
    AddImage(rt, result, Prepared(*read, PreparationArgs(a[5], a[6])));
  else
    result.setReal(-1);
}

PX_BACKGROUND_FN(CreateColor) {
  AddImage(rt, result, SolidImage(IntArg(a[0]), IntArg(a[1]), ColourArg(a[2])));
}

PX_BACKGROUND_FN(CreateGradient) {
  AddImage(
      rt, result,
      GradientImage(IntArg(a[0]), IntArg(a[1]), ColourArg(a[2]), ColourArg(a[3]), IntArg(a[4])));
}

PX_BACKGROUND_FN(Add) {
  AddLoaded(rt, result, [&](CBackground& background) {
    return LoadBackgroundPicture(rt, background, a[0].str(), PreparationArgs(a[1], a[2]));
  });
}

constexpr char kNoReplace[] = "Trying to replace non-existing background.";

PX_BACKGROUND_FN(Replace) {
  CBackground* background = BackgroundOrError(rt, a[0], kNoReplace);
  if (!background) return;
  result.setReal(
      Truth(LoadBackgroundPicture(rt, *background, a[1].str(), PreparationArgs(a[2], a[3]))));
}

PX_BACKGROUND_FN(AddBackground) {
  AddLoaded(rt, result, [&](CBackground& background) {
    return LoadBackgroundFile(rt, background, a[0].str());
  });
}

PX_BACKGROUND_FN(ReplaceBackground) {
  CBackground* background = BackgroundOrError(rt, a[0], kNoReplace);
  if (!background) return;
  result.setReal(Truth(LoadBackgroundFile(rt, *background, a[1].str())));
}

PX_BACKGROUND_FN(Delete) {
  const int index = IntArg(a[0]);
  CBackground* background =
      BackgroundOrError(rt, a[0], "Trying to delete non-existing background.");
  if (!background) return;
  FreeTextures(rt.display.textures, *background);
  rt.resources.backgrounds.remove(index);
  result.setReal(1);
}

PX_BACKGROUND_FN(Duplicate) {
  const CBackground* source =
      BackgroundOrError(rt, a[0], "Trying to duplicate non-existing background.");
  if (!source) return;
  AddImage(rt, result, source->image);
}

PX_BACKGROUND_FN(Assign) {
  ResourceList<CBackground>& backgrounds = rt.resources.backgrounds;
  const int index = IntArg(a[0]);
  const CBackground* source = BackgroundArg(rt, a[1]);
  if (!source || index < 0 || index >= backgrounds.count()) {
    RuntimeError(rt, "Error assigning a background.");
    return;
  }
  CBackground* target = backgrounds.get(index);
  if (!target)
    target = &backgrounds.set(index, "", CBackground{});  // an emptied slot keeps no name
  CopyBackground(rt, *target, *source);
}

PX_BACKGROUND_FN(Save) {
  const CBackground* background =
      BackgroundOrError(rt, a[0], "Trying to save non-existing background bitmap.");
  if (!background) return;
  const std::string file = a[1].str();
  if (file.empty()) {
    RuntimeError(rt, "Trying to save background bitmap to empty image file name.");
    return;
  }
  SaveImageFile(rt, background->image, file, false);
}

#undef PX_BACKGROUND_FN

// background_create_from_surface is registered with the surfaces.
constexpr FunctionDef kBackgroundFunctions[] = {
    {"background_set_alpha_from_background", SetAlphaFromBackground},
    {"background_create_from_screen", CreateFromScreen},
    {"background_create_from_surface", CreateFromSurface},
    {"background_create_color", CreateColor},
    {"background_create_gradient", CreateGradient},
    {"background_add", Add},
    {"background_replace", Replace},
    {"background_add_background", AddBackground},
    {"background_replace_background", ReplaceBackground},
    {"background_delete", Delete},
    {"background_duplicate", Duplicate},
    {"background_assign", Assign},
    {"background_save", Save},
};

}  // namespace

std::span<const FunctionDef> BackgroundFunctions() {
  return kBackgroundFunctions;
}

}  // namespace px
