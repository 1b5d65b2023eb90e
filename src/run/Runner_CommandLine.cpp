#include "run/Runner_CommandLine.h"

#include <elf.h>

#include <charconv>
#include <cstring>
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
         "  --input FILE     replay the keyboard and mouse events in FILE\n"
         "  --screenshot FILE  write the last frame as PNG to FILE when the game ends\n"
         "  --answers FILE   with --headless, answer the dialogs in order with the lines of FILE\n"
         "  --help           show this help and exit\n"
         "  --version        show the version and exit\n";
}

namespace {

// An option naming a file, as "NAME FILE" or "NAME=FILE"; false with the
// error set when the file is missing.
bool FileOption(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                std::string& file, std::string& error) {
  if (args[i] == name) {
    if (++i == args.size()) {
      error = name + " needs a file";
      return false;
    }
    file = args[i];
  } else {
    file = args[i].substr(name.size() + 1);
  }
  if (file.empty()) {
    error = name + " needs a file";
    return false;
  }
  return true;
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
    } else if (a == "--max-steps" || a.starts_with("--max-steps=")) {
      std::string value;
      if (a == "--max-steps") {
        if (++i == args.size()) {
          cl.error = "--max-steps needs a number";
          return cl;
        }
        value = args[i];
      } else {
        value = a.substr(std::strlen("--max-steps="));
      }
      std::int64_t n = -1;
      auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
      if (ec != std::errc() || end != value.data() + value.size() || n < 0) {
        cl.error = "--max-steps needs a number of steps, not '" + value + "'";
        return cl;
      }
      cl.maxSteps = n;
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
