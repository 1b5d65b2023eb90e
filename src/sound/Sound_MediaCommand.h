// Media command strings of game code ("open music.mp3 alias bgm",
// "play bgm repeat", "status bgm position"): a small set of commands over
// the sound engine's media players, one player per open device. Commands
// on the device "cdaudio" go to the CD drive unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform_Mci.h"
#include "sound/Sound_Engine.h"

namespace px {

// The replies of failing commands.
inline constexpr const char* kMediaUnknownCommand = "Unknown command.";
inline constexpr const char* kMediaUnknownDevice = "Unknown device.";
inline constexpr const char* kMediaMissingParameter = "Missing parameter.";
inline constexpr const char* kMediaBadParameter = "Bad parameter.";
inline constexpr const char* kMediaOutOfRange = "Out of range.";
inline constexpr const char* kMediaCannotOpen = "Cannot open file.";
inline constexpr const char* kMediaAliasInUse = "Alias in use.";
inline constexpr const char* kMediaTooManyDevices = "Too many devices open.";

class MediaCommands {
 public:
  // Carries out one command; its reply: a status value, "" for a command
  // that succeeded without one, or one of the texts above. File names
  // are game paths.
  std::string Run(SoundSystem& sound, MciDevice& cd, std::string_view command);
  // Forgets every device (the sound system closed, or the game restarts).
  void Clear() { devices_.clear(); }
  std::size_t openCount() const { return devices_.size(); }

 private:
  struct Device {
    std::string name;
    MediaClip clip;
    int player = 0;
  };
  using Words = std::vector<std::string>;

  std::string Open(const Words& words);
  std::string Play(SoundSystem& sound, Device& device, const Words& words);
  std::string Status(SoundSystem& sound, Device& device, const Words& words);
  void Close(SoundSystem& sound, const Device& device);
  Device* Find(std::string_view name);
  int FreePlayer() const;

  std::vector<Device> devices_;
};

// The words of a command: separated by blanks, a word in double quotes
// kept whole (a file name with blanks) without its quotes.
std::vector<std::string> CommandWords(std::string_view command);

}  // namespace px
