#include "run/Runner_CommandLine.h"

#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "run/Runner_Load.h"

namespace px {

std::string UsageText() {
  return "Usage: pxrun [OPTIONS] GAMEFILE [GAME ARGUMENTS...]\n"
         "Plays the game held in GAMEFILE.\n"
         "\n"
         "Options:\n"
         "  --headless       run without window or sound; dialogs print to standard output\n"
         "  --max-steps N    end the game after N steps\n"
         "  --time-limit S   end the run with an error after S seconds, even inside a loop\n"
         "  --input FILE     replay the keyboard and mouse events in FILE\n"
         "  --screenshot FILE  write the last frame as PNG to FILE when the game ends\n"
         "  --strict         exit with status 3 when any error was reported during the run\n"
         "  --fullscreen     play in full screen, whatever the game says\n"
         "  --windowed       play in a window, whatever the game says\n"
         "  --answers FILE   with --headless, answer the dialogs in order with the lines of FILE\n"
         "  --help           show this help and exit\n"
         "  --version        show the version and exit\n";
}

namespace {

// An option's value, as "NAME VALUE" or "NAME=VALUE"; false with the error
// set ("NAME needs WHAT") when it is missing.
bool OptionValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                 const char* what, std::string& value, std::string& error) {
  if (args[i] == name) {
    if (++i == args.size()) {
      error = name + " needs " + what;
      return false;
    }
    value = args[i];
  } else {
    value = args[i].substr(name.size() + 1);
  }
  if (value.empty()) {
    error = name + " needs " + what;
    return false;
  }
  return true;
}

bool FileOption(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                std::string& file, std::string& error) {
  return OptionValue(args, i, name, "a file", file, error);
}

// A whole number from 0 up, the whole text.
std::optional<std::int64_t> Count(const std::string& text) {
  std::int64_t n = -1;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 0) return std::nullopt;
  return n;
}

// A number of seconds above 0, fractions allowed, the whole text.
std::optional<double> Seconds(const std::string& text) {
  double seconds = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (ec != std::errc() || end != text.data() + text.size() || !(seconds > 0) ||
      !std::isfinite(seconds))
    return std::nullopt;
  return seconds;
}

bool IsOption(const std::string& arg, const char* name) {
  return arg == name ||
         (arg.starts_with(name) && arg.size() > std::strlen(name) && arg[std::strlen(name)] == '=');
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  std::size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (a.size() < 2 || a[0] != '-') break;
    if (a == "--headless") {
      cl.headless = true;
    } else if (a == "--help" || a == "-h") {
      cl.help = true;
    } else if (a == "--version") {
      cl.version = true;
    } else if (IsOption(a, "--max-steps")) {
      std::string value;
      if (!OptionValue(args, i, "--max-steps", "a number", value, cl.error)) return cl;
      cl.maxSteps = Count(value);
      if (!cl.maxSteps) {
        cl.error = "--max-steps needs a number of steps, not '" + value + "'";
        return cl;
      }
    } else if (IsOption(a, "--time-limit")) {
      std::string value;
      if (!OptionValue(args, i, "--time-limit", "a number", value, cl.error)) return cl;
      cl.timeLimit = Seconds(value);
      if (!cl.timeLimit) {
        cl.error = "--time-limit needs a number of seconds above 0, not '" + value + "'";
        return cl;
      }
    } else if (a == "--strict") {
      cl.strict = true;
    } else if (a == "--fullscreen" || a == "--windowed") {
      cl.fullScreen = a == "--fullscreen";
    } else if (a == "--input" || a.starts_with("--input=")) {
      if (!FileOption(args, i, "--input", cl.inputFile, cl.error)) return cl;
    } else if (a == "--screenshot" || a.starts_with("--screenshot=")) {
      if (!FileOption(args, i, "--screenshot", cl.screenshotFile, cl.error)) return cl;
    } else if (a == "--answers" || a.starts_with("--answers=")) {
      if (!FileOption(args, i, "--answers", cl.answersFile, cl.error)) return cl;
    } else {
      cl.error = "unknown option '" + a + "'";
      return cl;
    }
  }
  if (cl.help || cl.version) return cl;
  if (i == args.size()) {
    cl.error = "no game file given";
    return cl;
  }
  cl.gameFile = args[i++];
  cl.gameArguments.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return cl;
}

std::string GameFileProblem(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) return "no such file";
  if (fs::is_directory(status)) return "is a directory";
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string("cannot read it (") + std::strerror(errno) + ")";
  // The game data starts at one of the places the runner looks.
  in.seekg(0, std::ios::end);
  const auto size = static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0));
  for (std::size_t offset = kFirstProbe; offset + 4 <= size; offset += kProbeStep) {
    std::int32_t magic = 0;
    in.seekg(static_cast<std::streamoff>(offset));
    if (in.read(reinterpret_cast<char*>(&magic), sizeof magic) && magic == kGameMagic) return {};
  }
  return size < kFirstProbe + 4 ? "not a game file (too short to hold game data)"
                                : "not a game file (no game data found)";
}

std::string ScreenshotProblem(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(path, ec)) return "is a directory";
  const bool existed = fs::exists(path, ec);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return std::string("cannot write it (") + std::strerror(errno) + ")";
  ::close(fd);
  if (!existed) ::unlink(path.c_str());
  return {};
}

std::optional<std::size_t> ElfImageSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Elf64_Ehdr header{};
  if (!in.read(reinterpret_cast<char*>(&header), sizeof header)) return std::nullopt;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
    return std::nullopt;
  return static_cast<std::size_t>(header.e_shoff) +
         static_cast<std::size_t>(header.e_shnum) * header.e_shentsize;
}

bool HoldsBundledGame(const std::string& executable) {
  const auto image = ElfImageSize(executable);
  if (!image) return false;
  std::ifstream in(executable, std::ios::binary);
  for (std::size_t offset = GameDataOffsetAfter(*image);; offset += kProbeStep) {
    std::int32_t magic = 0;
    in.seekg(static_cast<std::streamoff>(offset));
    if (!in.read(reinterpret_cast<char*>(&magic), 4)) return false;
    if (magic == kGameMagic) return true;
  }
}

}  // namespace px
