// Audio CD control through media control command strings on the device
// "cdaudio". Queries open the device first; what needs a disc asks whether
// one is present and otherwise answers 0 and sends nothing more.
#pragma once

#include <string_view>

#include "platform/Platform_Mci.h"

namespace px {

class CdAudio {
 public:
  explicit CdAudio(MciDevice& mci) : mci_(mci) {}

  void Init();
  bool Present();
  double Number();
  bool Playing();
  bool Paused();
  double Track();
  double Length();
  double TrackLength(double n);
  double Position();
  double TrackPosition();
  void Play(double first, double last);
  void Stop();
  void Pause();
  void Resume();
  void SetPosition(double ms);
  void SetTrackPosition(double ms);
  void OpenDoor();
  void CloseDoor();

 private:
  std::string Send(std::string_view command) { return mci_.send(command); }
  std::string Mode();
  MciDevice& mci_;
};

// The decimal digits of a reply taken together as a number; 0 without any.
double ReplyNumber(std::string_view reply);

}  // namespace px
