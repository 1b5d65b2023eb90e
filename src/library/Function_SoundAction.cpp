// The sound and CD actions. The sound actions play, stop and test a sound
// as the sound functions do, with messages of their own for a missing
// sound; the CD actions are the CD functions under action names.
#include "library/Function_SoundAction.h"

#include <array>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

#include "code/Code_Error.h"
#include "library/Function_Sound.h"
#include "library/Function_Sound_Support.h"
#include "resources/Sound_Class.h"
#include "run/Run_Error.h"
#include "run/Runner_Sound.h"
#include "run/Runtime.h"

namespace px {
namespace {

// The sample of the sound named by an argument, prepared on demand; reports
// `missing` and gives nothing for a missing sound.
std::optional<int> SampleArg(Runtime& rt, const RValue& v, std::string_view missing) {
  CSound* snd = rt.resources.sounds.get(RoundedInt(v));
  if (!snd) {
    RuntimeError(rt, missing);
    return std::nullopt;
  }
  return GetSoundSample(rt, *snd);
}

void PlaySound(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
               const FunctionArgs& args) {
  if (const auto sample = SampleArg(rt, args[0], "Trying to play non-existing sound."))
    rt.sound.engine.PlaySample(*sample, FlagArg(args[1]));
}

void EndSound(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
              const FunctionArgs& args) {
  if (const auto sample = SampleArg(rt, args[0], "Trying to stop non-existing sound."))
    rt.sound.engine.StopSample(*sample);
}

// A missing sound is not playing, and no error.
void IfSound(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
             const FunctionArgs& args) {
  const CSound* snd = rt.resources.sounds.get(RoundedInt(args[0]));
  result.setReal(Truth(snd && rt.sound.engine.SampleIsPlaying(snd->sample)));
}

// Each CD action and the CD function it is.
constexpr std::pair<std::string_view, std::string_view> kCdActions[] = {
    {"action_cd_play", "cd_play"},       {"action_cd_stop", "cd_stop"},
    {"action_cd_pause", "cd_pause"},     {"action_cd_resume", "cd_resume"},
    {"action_cd_present", "cd_present"}, {"action_cd_playing", "cd_playing"},
};

constexpr std::size_t kSoundActionCount = 3 + std::size(kCdActions);

std::array<FunctionDef, kSoundActionCount> MakeSoundActions() {
  std::array<FunctionDef, kSoundActionCount> defs = {{
      {"action_sound", PlaySound},
      {"action_end_sound", EndSound},
      {"action_if_sound", IfSound},
  }};
  std::size_t next = 3;
  for (const auto& [action, function] : kCdActions) {
    for (const FunctionDef& cd : CdFunctions())
      if (cd.name == function) defs[next++] = {action, cd.handler};
  }
  return defs;
}

}  // namespace

std::span<const FunctionDef> SoundActionFunctions() {
  static const std::array<FunctionDef, kSoundActionCount> defs = MakeSoundActions();
  return defs;
}

}  // namespace px
