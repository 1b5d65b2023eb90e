// Points SDL at its dummy audio driver (unless the environment names one)
// for the life of the object: a sound card that needs no hardware.
#pragma once

#include <cstdlib>

namespace pxtest {

class DummyAudio {
 public:
  DummyAudio() : set_(std::getenv("SDL_AUDIODRIVER") == nullptr) {
    if (set_) setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  ~DummyAudio() {
    if (set_) unsetenv("SDL_AUDIODRIVER");
  }
  DummyAudio(const DummyAudio&) = delete;
  DummyAudio& operator=(const DummyAudio&) = delete;

 private:
  bool set_;
};

}  // namespace pxtest
