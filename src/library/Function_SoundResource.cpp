// Sound resources at run time: names, fields, discarding and restoring the
// sample, adding, replacing and deleting sounds.
#include "code/Code_Error.h"
#include "library/Function_Sound.h"
#include "library/Function_Sound_Support.h"
#include "resources/Sound_Class.h"
#include "run/Run_Error.h"
#include "run/Runner_Sound.h"
#include "run/Runtime.h"

namespace px {
namespace {

constexpr char kNoSound[] = "Sound does not exist.";

CSound* Find(Runtime& rt, const RValue& v) {
  return rt.resources.sounds.get(RoundedInt(v));
}

void SoundExists(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                 const FunctionArgs& args) {
  result.setReal(Truth(Find(rt, args[0]) != nullptr));
}

void SoundName(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
               const FunctionArgs& args) {
  result.setString(rt.resources.sounds.name(RoundedInt(args[0])));
}

void SoundGetKind(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  const CSound* snd = Find(rt, args[0]);
  result.setReal(snd ? snd->kind : -1);
}

void SoundGetPreload(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                     const FunctionArgs& args) {
  const CSound* snd = Find(rt, args[0]);
  result.setReal(snd ? Truth(snd->preload) : -1);
}

void SoundDiscard(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                  const FunctionArgs& args) {
  if (CSound* snd = Find(rt, args[0]))
    DiscardSound(rt, *snd);
  else
    RuntimeError(rt, kNoSound);
}

// A sound that has a sample gets a fresh one; the old one is freed first.
void SoundRestore(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                  const FunctionArgs& args) {
  CSound* snd = Find(rt, args[0]);
  if (!snd) {
    RuntimeError(rt, kNoSound);
    return;
  }
  DiscardSound(rt, *snd);
  PrepareSound(rt, *snd);
}

void SoundAdd(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
              const FunctionArgs& args) {
  ResourceList<CSound>& sounds = rt.resources.sounds;
  const int index = sounds.add("__newsound" + std::to_string(sounds.count()), CSound{});
  CSound& snd = *sounds.get(index);
  if (!LoadSoundFromFile(rt, snd, args[0].str(), RoundedInt(args[1]), args[2].real >= 0.5)) {
    sounds.resize(index);  // the number is given again by the next addition
    result.setReal(-1);
    return;
  }
  result.setReal(index);
}

void SoundReplace(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                  const FunctionArgs& args) {
  CSound* snd = Find(rt, args[0]);
  if (!snd) {
    RuntimeError(rt, "Trying to replace non-existing sound.");
    return;
  }
  result.setReal(
      Truth(LoadSoundFromFile(rt, *snd, args[1].str(), RoundedInt(args[2]), args[3].real >= 0.5)));
}

void SoundDelete(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                 const FunctionArgs& args) {
  const int index = RoundedInt(args[0]);
  CSound* snd = rt.resources.sounds.get(index);
  if (!snd) {
    RuntimeError(rt, "Trying to delete non-existing sound.");
    return;
  }
  DiscardSound(rt, *snd);
  rt.resources.sounds.remove(index);
  result.setReal(1);
}

const FunctionDef kSoundResourceFunctions[] = {
    {"sound_name", SoundName},
    {"sound_exists", SoundExists},
    {"sound_get_name", SoundName},
    {"sound_get_kind", SoundGetKind},
    {"sound_get_preload", SoundGetPreload},
    {"sound_discard", SoundDiscard},
    {"sound_restore", SoundRestore},
    {"sound_add", SoundAdd},
    {"sound_replace", SoundReplace},
    {"sound_delete", SoundDelete},
};

}  // namespace

std::span<const FunctionDef> SoundResourceFunctions() {
  return kSoundResourceFunctions;
}

}  // namespace px
