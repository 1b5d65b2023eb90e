// The sound card through SDL2: 44.1 kHz stereo floats, pulled by SDL's
// audio thread from the source in blocks of 1024 frames.
#include "platform/Platform_SDLAudio.h"

#include <SDL.h>
#include <dlfcn.h>

#include "platform/Platform_Audio.h"

namespace px {
namespace {

class SdlAudioDevice final : public AudioDevice {
 public:
  SdlAudioDevice(SDL_AudioDeviceID id, int rate) : id_(id), rate_(rate) {}
  ~SdlAudioDevice() override {
    SDL_CloseAudioDevice(id_);  // waits for a running callback to return
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  int sampleRate() const override { return rate_; }
  bool audible() const override { return true; }
  void pump() override {}

 private:
  SDL_AudioDeviceID id_;
  int rate_;
};

void Pull(void* source, Uint8* stream, int bytes) {
  static_cast<AudioSource*>(source)->render(reinterpret_cast<float*>(stream),
                                            bytes / static_cast<int>(2 * sizeof(float)));
}

// ALSA prints its own complaints (a machine without a sound card gets
// several lines of them) on standard error; the runner says once, in its
// own words, that no sound device was found. SDL loads ALSA by name, so it
// is silenced the same way: through the library SDL will find loaded.
extern "C" void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsa() {
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
  if (!alsa) return;
  if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
    set(IgnoreAlsaError);
  dlclose(alsa);  // stays loaded: RTLD_NODELETE
}

}  // namespace

std::unique_ptr<AudioDevice> OpenSdlAudio(AudioSource& source) {
  SilenceAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  SDL_AudioSpec want{};
  want.freq = kAudioRate;
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = Pull;
  want.userdata = &source;
  SDL_AudioSpec have{};
  // The mixer renders at one rate and format: SDL converts if the card
  // wants another.
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (id == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  SDL_PauseAudioDevice(id, 0);
  return std::make_unique<SdlAudioDevice>(id, kAudioRate);
}

}  // namespace px
