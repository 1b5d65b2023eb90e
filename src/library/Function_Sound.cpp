// Playing sounds, their volume, pan and effects, 3D sound and the master
// volume and tempo.
#include "library/Function_Sound.h"

#include "code/Code_Error.h"
#include "library/Function_Sound_Support.h"
#include "resources/Sound_Class.h"
#include "run/Run_Error.h"
#include "run/Runner_Sound.h"
#include "run/Runtime.h"

namespace px {
namespace {

constexpr char kNoSound[] = "Sound does not exist.";

// The sound named by the first argument, prepared on demand; reports a
// missing sound.
struct Target {
  CSound* sound = nullptr;
  int sample = -1;
};

Target SoundArg(Runtime& rt, const FunctionArgs& args) {
  CSound* snd = rt.resources.sounds.get(RoundedInt(args[0]));
  if (!snd) {
    RuntimeError(rt, kNoSound);
    return {};
  }
  return {snd, GetSoundSample(rt, *snd)};
}

// Every handler here has the built-in function signature.
#define SOUND_HANDLER(name)                                            \
  void name(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] const FunctionArgs& args)

SOUND_HANDLER(SoundPlay) {
  if (const Target t = SoundArg(rt, args); t.sound) rt.sound.engine.PlaySample(t.sample, false);
}

SOUND_HANDLER(SoundLoop) {
  if (const Target t = SoundArg(rt, args); t.sound) rt.sound.engine.PlaySample(t.sample, true);
}

SOUND_HANDLER(SoundStop) {
  if (const Target t = SoundArg(rt, args); t.sound) rt.sound.engine.StopSample(t.sample);
}

SOUND_HANDLER(SoundStopAll) {
  rt.sound.engine.StopAllSamples();
}

// A missing sound is not playing, and no error.
SOUND_HANDLER(SoundIsPlaying) {
  const CSound* snd = rt.resources.sounds.get(RoundedInt(args[0]));
  result.setReal(Truth(snd && rt.sound.engine.SampleIsPlaying(snd->sample)));
}

SOUND_HANDLER(SoundVolume) {
  if (const Target t = SoundArg(rt, args); t.sound)
    rt.sound.engine.SetSampleVolume(t.sample, args[1].real, 0);
}

SOUND_HANDLER(SoundFade) {
  if (const Target t = SoundArg(rt, args); t.sound)
    rt.sound.engine.SetSampleVolume(t.sample, args[1].real, RoundedInt(args[2]));
}

SOUND_HANDLER(SoundPan) {
  if (const Target t = SoundArg(rt, args); t.sound)
    rt.sound.engine.SetSamplePan(t.sample, args[1].real);
}

SOUND_HANDLER(SoundBackgroundTempo) {
  EnsureSoundOpen(rt);
  rt.sound.engine.SetMasterTempo(args[0].real);
}

SOUND_HANDLER(SoundGlobalVolume) {
  EnsureSoundOpen(rt);
  rt.sound.engine.SetMasterVolume(args[0].real);
}

SOUND_HANDLER(SoundSetSearchDirectory) {
  rt.sound.engine.SetSearchDirectory(args[0].str());
}

// The effect set of the sample only; the sound keeps its stored effects.
SOUND_HANDLER(SoundEffectSet) {
  if (const Target t = SoundArg(rt, args); t.sound)
    rt.sound.engine.SetSampleEffects(t.sample, RoundedInt(args[1]));
}

template <EffectParams (*Make)(const FunctionArgs&)>
SOUND_HANDLER(SoundEffectParams) {
  if (const Target t = SoundArg(rt, args); t.sound)
    rt.sound.engine.SetEffectParams(t.sample, Make(args));
}

EffectParams Chorus(const FunctionArgs& a) {
  return ChorusParams{Float(a[1]),      Float(a[2]), Float(a[3]),     Float(a[4]),
                      RoundedInt(a[5]), Float(a[6]), RoundedInt(a[7])};
}
EffectParams Echo(const FunctionArgs& a) {
  return EchoParams{Float(a[1]), Float(a[2]), Float(a[3]), Float(a[4]), RoundedInt(a[5])};
}
EffectParams Flanger(const FunctionArgs& a) {
  return FlangerParams{Float(a[1]),      Float(a[2]), Float(a[3]),     Float(a[4]),
                       RoundedInt(a[5]), Float(a[6]), RoundedInt(a[7])};
}
EffectParams Gargle(const FunctionArgs& a) {
  return GargleParams{RoundedInt(a[1]), RoundedInt(a[2])};
}
EffectParams Reverb(const FunctionArgs& a) {
  return ReverbParams{Float(a[1]), Float(a[2]), Float(a[3]), Float(a[4])};
}
EffectParams Compressor(const FunctionArgs& a) {
  return CompressorParams{Float(a[1]), Float(a[2]), Float(a[3]),
                          Float(a[4]), Float(a[5]), Float(a[6])};
}
EffectParams Equalizer(const FunctionArgs& a) {
  return EqualizerParams{Float(a[1]), Float(a[2]), Float(a[3])};
}

SOUND_HANDLER(Sound3DPosition) {
  if (const Target t = SoundArg(rt, args); t.sound)
    rt.sound.engine.Set3DPosition(t.sample, args[1].real, args[2].real, args[3].real);
}

SOUND_HANDLER(Sound3DVelocity) {
  if (const Target t = SoundArg(rt, args); t.sound)
    rt.sound.engine.Set3DVelocity(t.sample, args[1].real, args[2].real, args[3].real);
}

SOUND_HANDLER(Sound3DDistance) {
  if (const Target t = SoundArg(rt, args); t.sound)
    rt.sound.engine.Set3DDistance(t.sample, args[1].real, args[2].real);
}

SOUND_HANDLER(Sound3DCone) {
  if (const Target t = SoundArg(rt, args); t.sound)
    rt.sound.engine.Set3DCone(t.sample, args[1].real, args[2].real, args[3].real, args[4].real,
                              args[5].real, args[6].real);
}

#undef SOUND_HANDLER

const FunctionDef kSoundFunctions[] = {
    {"sound_play", SoundPlay},
    {"sound_loop", SoundLoop},
    {"sound_stop", SoundStop},
    {"sound_stop_all", SoundStopAll},
    {"sound_isplaying", SoundIsPlaying},
    {"sound_volume", SoundVolume},
    {"sound_fade", SoundFade},
    {"sound_pan", SoundPan},
    {"sound_background_tempo", SoundBackgroundTempo},
    {"sound_global_volume", SoundGlobalVolume},
    {"sound_set_search_directory", SoundSetSearchDirectory},
    {"sound_effect_set", SoundEffectSet},
    {"sound_effect_chorus", SoundEffectParams<Chorus>},
    {"sound_effect_compressor", SoundEffectParams<Compressor>},
    {"sound_effect_echo", SoundEffectParams<Echo>},
    {"sound_effect_flanger", SoundEffectParams<Flanger>},
    {"sound_effect_gargle", SoundEffectParams<Gargle>},
    {"sound_effect_equalizer", SoundEffectParams<Equalizer>},
    {"sound_effect_reverb", SoundEffectParams<Reverb>},
    {"sound_3d_set_sound_position", Sound3DPosition},
    {"sound_3d_set_sound_velocity", Sound3DVelocity},
    {"sound_3d_set_sound_distance", Sound3DDistance},
    {"sound_3d_set_sound_cone", Sound3DCone},
};

}  // namespace

std::span<const FunctionDef> SoundFunctions() {
  return kSoundFunctions;
}

}  // namespace px
