#include "sound/Sound_Midi.h"

#include <fluidsynth.h>

#include <cstdlib>

namespace px {
namespace {

fluid_settings_t* MakeSettings(int rate) {
  fluid_settings_t* s = new_fluid_settings();
  if (!s) return nullptr;
  fluid_settings_setnum(s, "synth.sample-rate", rate);
  fluid_settings_setint(s, "synth.reverb.active", 0);
  fluid_settings_setint(s, "synth.chorus.active", 0);
  fluid_settings_setint(s, "synth.polyphony", 64);
  fluid_settings_setint(s, "synth.lock-memory", 0);
  fluid_settings_setnum(s, "synth.gain", 0.5);
  // The player's clock follows the frames rendered, not the wall clock.
  fluid_settings_setstr(s, "player.timing-source", "sample");
  fluid_settings_setint(s, "player.reset-synth", 1);
  return s;
}

void Silence() {
  static const bool done = [] {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
      fluid_set_log_function(level, nullptr, nullptr);
    return true;
  }();
  (void)done;
}

constexpr int kTailFrames = 44100;  // a second for the last notes to die away

}  // namespace

MidiRenderer::~MidiRenderer() {
  if (player_) {
    fluid_player_stop(player_);
    delete_fluid_player(player_);
  }
  if (synth_) {
    // The SoundFont belongs to the shared synthesizer: take it out first.
    if (sfont_) fluid_synth_remove_sfont(synth_, sfont_);
    delete_fluid_synth(synth_);
  }
  if (settings_) delete_fluid_settings(settings_);
}

bool MidiRenderer::render(float* out, int n) {
  fluid_synth_write_float(synth_, n, out, 0, 2, out, 1, 2);
  // The player reports the end only seconds after the last event; the file
  // has ended once its clock has passed the last tick.
  if (fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING &&
      fluid_player_get_current_tick(player_) < fluid_player_get_total_ticks(player_))
    return true;
  tail_ -= n;
  return tail_ > 0;
}

void MidiRenderer::setTempo(double factor) {
  fluid_player_set_tempo(player_, FLUID_PLAYER_TEMPO_INTERNAL, factor);
}

MidiSynth::MidiSynth(std::string soundFont) : path_(std::move(soundFont)) {}

MidiSynth::~MidiSynth() {
  if (owner_) delete_fluid_synth(owner_);
  if (settings_) delete_fluid_settings(settings_);
}

std::string MidiSynth::DefaultSoundFont() {
  if (const char* env = std::getenv("PXRUN_SOUNDFONT"); env && *env) return env;
  return "/usr/share/sounds/sf2/FluidR3_GM.sf2";
}

bool MidiSynth::load(int rate) {
  if (tried_) return sfont_ != nullptr;
  tried_ = true;
  Silence();
  settings_ = MakeSettings(rate);
  if (!settings_) return false;
  owner_ = new_fluid_synth(settings_);
  if (!owner_) return false;
  const int id = fluid_synth_sfload(owner_, path_.c_str(), 0);
  if (id == FLUID_FAILED) return false;
  sfont_ = fluid_synth_get_sfont_by_id(owner_, id);
  return sfont_ != nullptr;
}

std::unique_ptr<MidiRenderer> MidiSynth::start(const MidiBytes& file, bool loop, double tempo,
                                               int rate) {
  if (!file || !load(rate)) return nullptr;
  std::unique_ptr<MidiRenderer> r(new MidiRenderer);
  r->file_ = file;
  r->tail_ = kTailFrames;
  r->settings_ = MakeSettings(rate);
  if (!r->settings_) return nullptr;
  r->synth_ = new_fluid_synth(r->settings_);
  if (!r->synth_ || fluid_synth_add_sfont(r->synth_, sfont_) == FLUID_FAILED) return nullptr;
  r->sfont_ = sfont_;
  fluid_synth_program_reset(r->synth_);
  r->player_ = new_fluid_player(r->synth_);
  if (!r->player_) return nullptr;
  if (fluid_player_add_mem(r->player_, file->data(), file->size()) != FLUID_OK) return nullptr;
  fluid_player_set_loop(r->player_, loop ? -1 : 1);
  r->setTempo(tempo);
  if (fluid_player_play(r->player_) != FLUID_OK) return nullptr;
  return r;
}

}  // namespace px
