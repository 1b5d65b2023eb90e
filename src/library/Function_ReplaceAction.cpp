// The actions that replace a sprite, sound or background by the content of
// a file: a sprite or background file by its extension, else a picture (or
// for a sound, a sound file).
#include "code/Code_Error.h"
#include "library/Function_Sprite.h"
#include "library/Function_Support.h"
#include "resources/Sound_Class.h"
#include "run/Run_Error.h"
#include "run/Runner_Sound.h"
#include "run/Runner_Sprite.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

// The resource must exist and the file too; each failure is reported.
template <class T>
T* ReplaceTarget(Runtime& rt, ResourceList<T>& list, const RValue& index, const std::string& file) {
  T* item = list.get(IntArg(index));
  if (!item) {
    RuntimeError(rt, "Trying to replace non-existing resource.");
    return nullptr;
  }
  if (!GameFileExists(file)) {
    RuntimeError(rt, "File does not exist.");
    return nullptr;
  }
  return item;
}

void ReplaceSprite(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  const std::string file = a[1].str();
  CSprite* sprite = ReplaceTarget(rt, rt.resources.sprites, a[0], file);
  if (!sprite) return;
  if (HasExtension(file, ".pxspr"))
    LoadSpriteFile(rt, *sprite, file);
  else
    LoadSpritePicture(rt, *sprite, file, IntArg(a[2]), {}, sprite->xoffset, sprite->yoffset);
}

void ReplaceSound(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  const std::string file = a[1].str();
  CSound* sound = ReplaceTarget(rt, rt.resources.sounds, a[0], file);
  if (!sound) return;
  // The sound keeps its kind and preloading.
  const int kind = sound->kind;
  const bool preload = sound->preload;
  LoadSoundFromFile(rt, *sound, file, kind, preload);
}

void ReplaceBackground(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, Args a) {
  const std::string file = a[1].str();
  CBackground* background = ReplaceTarget(rt, rt.resources.backgrounds, a[0], file);
  if (!background) return;
  if (HasExtension(file, ".pxbck"))
    LoadBackgroundFile(rt, *background, file);
  else
    LoadBackgroundPicture(rt, *background, file, {});
}

constexpr FunctionDef kReplaceActionFunctions[] = {
    {"action_replace_sprite", ReplaceSprite},
    {"action_replace_sound", ReplaceSound},
    {"action_replace_background", ReplaceBackground},
};

}  // namespace

std::span<const FunctionDef> ReplaceActionFunctions() {
  return kReplaceActionFunctions;
}

}  // namespace px
