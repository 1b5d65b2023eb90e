#include "sound/Sound_MediaCommand.h"

#include <algorithm>
#include <optional>

#include "platform/Platform_Path.h"

namespace px {
namespace {

constexpr std::string_view kCdDevice = "cdaudio";
constexpr std::string_view kAll = "all";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Is(std::string_view word, std::string_view keyword) {
  return word.size() == keyword.size() &&
         std::equal(word.begin(), word.end(), keyword.begin(),
                    [](char a, char b) { return Lower(a) == Lower(b); });
}

// Flags that ask to wait for the end or to be told of it; the commands
// return at once and nobody is told, so they change nothing.
bool IsIgnoredFlag(std::string_view word) {
  return Is(word, "wait") || Is(word, "notify");
}

// A time in milliseconds: decimal digits only.
std::optional<std::int64_t> Milliseconds(std::string_view word) {
  if (word.empty() || word.size() > 12) return std::nullopt;
  std::int64_t v = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// The reply when only ignored flags follow position `from`.
std::string OnlyFlagsFrom(const std::vector<std::string>& words, std::size_t from) {
  for (std::size_t i = from; i < words.size(); ++i)
    if (!IsIgnoredFlag(words[i])) return kMediaBadParameter;
  return {};
}

const char* ModeText(MediaMode mode) {
  switch (mode) {
    case MediaMode::Playing:
      return "playing";
    case MediaMode::Paused:
      return "paused";
    case MediaMode::Stopped:
      break;
  }
  return "stopped";
}

}  // namespace

std::vector<std::string> CommandWords(std::string_view command) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < command.size()) {
    if (IsBlank(command[i])) {
      ++i;
      continue;
    }
    std::size_t end;
    if (command[i] == '"') {
      end = command.find('"', i + 1);
      if (end == std::string_view::npos) end = command.size();
      words.emplace_back(command.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    end = i;
    while (end < command.size() && !IsBlank(command[end])) ++end;
    words.emplace_back(command.substr(i, end - i));
    i = end;
  }
  return words;
}

MediaCommands::Device* MediaCommands::Find(std::string_view name) {
  for (Device& d : devices_)
    if (Is(d.name, name)) return &d;
  return nullptr;
}

int MediaCommands::FreePlayer() const {
  for (int player = 1; player < kMediaPlayers; ++player)
    if (std::none_of(devices_.begin(), devices_.end(),
                     [&](const Device& d) { return d.player == player; }))
      return player;
  return 0;
}

std::string MediaCommands::Run(SoundSystem& sound, MciDevice& cd, std::string_view command) {
  const Words words = CommandWords(command);
  if (words.empty()) return kMediaUnknownCommand;
  const std::string& verb = words[0];
  if (words.size() >= 2 && Is(words[1], kCdDevice)) return cd.send(command);
  if (Is(verb, "open")) return Open(words);
  const bool known = Is(verb, "play") || Is(verb, "stop") || Is(verb, "pause") ||
                     Is(verb, "resume") || Is(verb, "close") || Is(verb, "status");
  if (!known) return kMediaUnknownCommand;
  if (words.size() < 2) return kMediaMissingParameter;
  if (Is(verb, "close") && Is(words[1], kAll)) {
    for (const Device& d : devices_) sound.PlayerClose(d.player);
    devices_.clear();
    return OnlyFlagsFrom(words, 2);
  }
  Device* device = Find(words[1]);
  if (!device) return kMediaUnknownDevice;
  if (Is(verb, "play")) return Play(sound, *device, words);
  if (Is(verb, "status")) return Status(sound, *device, words);
  std::string reply = OnlyFlagsFrom(words, 2);
  if (!reply.empty()) return reply;
  if (Is(verb, "stop")) {
    sound.PlayerStop(device->player);
  } else if (Is(verb, "pause")) {
    if (sound.PlayerMode(device->player) == MediaMode::Playing)
      sound.PlayerPause(device->player, true);
  } else if (Is(verb, "resume")) {
    if (sound.PlayerMode(device->player) == MediaMode::Paused)
      sound.PlayerPause(device->player, false);
  } else {  // close
    Close(sound, *device);
  }
  return {};
}

std::string MediaCommands::Open(const Words& words) {
  if (words.size() < 2) return kMediaMissingParameter;
  std::string name = words[1];
  for (std::size_t i = 2; i < words.size(); ++i) {
    if (IsIgnoredFlag(words[i])) continue;
    const bool takesValue = Is(words[i], "type") || Is(words[i], "alias");
    if (!takesValue) return kMediaBadParameter;
    if (i + 1 >= words.size()) return kMediaMissingParameter;
    // The type is read from the file itself.
    if (Is(words[i], "alias")) name = words[i + 1];
    ++i;
  }
  if (Is(name, kAll)) return kMediaBadParameter;
  if (Find(name)) return kMediaAliasInUse;
  const int player = FreePlayer();
  if (player == 0) return kMediaTooManyDevices;
  MediaClip clip = ReadMediaFile(HostPath(words[1]));
  if (!clip.playable()) return kMediaCannotOpen;
  devices_.push_back({std::move(name), std::move(clip), player});
  return {};
}

std::string MediaCommands::Play(SoundSystem& sound, Device& device, const Words& words) {
  std::optional<std::int64_t> from, to;
  bool repeat = false;
  for (std::size_t i = 2; i < words.size(); ++i) {
    if (IsIgnoredFlag(words[i])) continue;
    if (Is(words[i], "repeat")) {
      repeat = true;
      continue;
    }
    const bool isFrom = Is(words[i], "from");
    if (!isFrom && !Is(words[i], "to")) return kMediaBadParameter;
    if (i + 1 >= words.size()) return kMediaMissingParameter;
    const auto ms = Milliseconds(words[++i]);
    if (!ms) return kMediaBadParameter;
    (isFrom ? from : to) = ms;
  }
  const MediaMode mode = sound.PlayerMode(device.player);
  if (device.clip.midi) {
    // A MIDI file plays from its start; a paused one goes on.
    if (mode == MediaMode::Paused && !from) {
      sound.PlayerPause(device.player, false);
    } else {
      sound.PlayerPlay(device.player, device.clip, {0, 0, -1, repeat});
    }
    return {};
  }
  const std::int64_t length = device.clip.lengthMs();
  if ((from && *from > length) || (to && *to > length) || (from && to && *from > *to))
    return kMediaOutOfRange;
  const std::int64_t end = to.value_or(length);
  // Without a start the device goes on from where it is, or from the
  // beginning once it has reached the end.
  std::int64_t start = from.value_or(std::min(sound.PlayerPositionMs(device.player), length));
  if (!from && start >= end) start = 0;
  sound.PlayerPlay(device.player, device.clip, {start, from.value_or(0), to ? *to : -1, repeat});
  return {};
}

std::string MediaCommands::Status(SoundSystem& sound, Device& device, const Words& words) {
  if (words.size() < 3) return kMediaMissingParameter;
  std::string reply = OnlyFlagsFrom(words, 3);
  if (!reply.empty()) return reply;
  const std::string& item = words[2];
  const std::int64_t length = device.clip.lengthMs();
  if (Is(item, "mode")) return ModeText(sound.PlayerMode(device.player));
  if (Is(item, "length")) return std::to_string(length);
  if (Is(item, "position")) {
    const std::int64_t position = sound.PlayerPositionMs(device.player);
    return std::to_string(device.clip.pcm ? std::min(position, length) : position);
  }
  return kMediaBadParameter;
}

void MediaCommands::Close(SoundSystem& sound, const Device& device) {
  sound.PlayerClose(device.player);
  const auto it = std::find_if(devices_.begin(), devices_.end(),
                               [&](const Device& d) { return &d == &device; });
  devices_.erase(it);
}

}  // namespace px
