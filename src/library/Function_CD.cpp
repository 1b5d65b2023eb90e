// The CD audio functions and media command strings.
#include "library/Function_Sound.h"
#include "run/Runner_Sound.h"
#include "run/Runtime.h"
#include "sound/Support_CD.h"

namespace px {
namespace {

template <bool (CdAudio::*Query)()>
void CdTruth(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
             const FunctionArgs&) {
  CdAudio cd(*rt.sound.cd);
  result.setReal((cd.*Query)() ? 1 : 0);
}

template <double (CdAudio::*Query)()>
void CdNumber(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
              const FunctionArgs&) {
  CdAudio cd(*rt.sound.cd);
  result.setReal((cd.*Query)());
}

template <void (CdAudio::*Action)()>
void CdAction(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
              const FunctionArgs&) {
  CdAudio cd(*rt.sound.cd);
  (cd.*Action)();
}

template <void (CdAudio::*Action)(double)>
void CdActionWith(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
                  const FunctionArgs& args) {
  CdAudio cd(*rt.sound.cd);
  (cd.*Action)(args[0].real);
}

void CdTrackLength(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                   const FunctionArgs& args) {
  CdAudio cd(*rt.sound.cd);
  result.setReal(cd.TrackLength(args[0].real));
}

void CdPlay(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&,
            const FunctionArgs& args) {
  CdAudio cd(*rt.sound.cd);
  cd.Play(args[0].real, args[1].real);
}

// A media command string; its reply text.
void MciCommand(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                const FunctionArgs& args) {
  EnsureSoundOpen(rt);
  result.setString(rt.sound.media.Run(rt.sound.engine, *rt.sound.cd, args[0].str()));
}

const FunctionDef kCdFunctions[] = {
    {"cd_init", CdAction<&CdAudio::Init>},
    {"cd_present", CdTruth<&CdAudio::Present>},
    {"cd_number", CdNumber<&CdAudio::Number>},
    {"cd_playing", CdTruth<&CdAudio::Playing>},
    {"cd_paused", CdTruth<&CdAudio::Paused>},
    {"cd_track", CdNumber<&CdAudio::Track>},
    {"cd_length", CdNumber<&CdAudio::Length>},
    {"cd_track_length", CdTrackLength},
    {"cd_position", CdNumber<&CdAudio::Position>},
    {"cd_track_position", CdNumber<&CdAudio::TrackPosition>},
    {"cd_play", CdPlay},
    {"cd_stop", CdAction<&CdAudio::Stop>},
    {"cd_pause", CdAction<&CdAudio::Pause>},
    {"cd_resume", CdAction<&CdAudio::Resume>},
    {"cd_set_position", CdActionWith<&CdAudio::SetPosition>},
    {"cd_set_track_position", CdActionWith<&CdAudio::SetTrackPosition>},
    {"cd_open_door", CdAction<&CdAudio::OpenDoor>},
    {"cd_close_door", CdAction<&CdAudio::CloseDoor>},
    {"MCI_command", MciCommand},
};

}  // namespace

std::span<const FunctionDef> CdFunctions() {
  return kCdFunctions;
}

}  // namespace px
