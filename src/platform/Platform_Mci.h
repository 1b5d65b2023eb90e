// Media control command strings ("open cdaudio", "status cdaudio mode" ...)
// and their text replies. The machine has no CD drive: the stand-in opens
// no device and answers every command with an empty reply, as a failing
// command leaves the reply buffer.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace px {

class MciDevice {
 public:
  virtual ~MciDevice() = default;
  // Sends one command string; the reply text, empty on failure.
  virtual std::string send(std::string_view command) = 0;
};

std::unique_ptr<MciDevice> CreateNoCdDrive();

}  // namespace px
