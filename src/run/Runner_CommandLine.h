// pxrun's command line: options, the game file and the game's arguments;
// and the check for a game bundled into pxrun's own executable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace px {

struct CommandLine {
  bool headless = false;
  bool help = false;
  bool version = false;
  std::optional<std::int64_t> maxSteps;
  std::optional<double> timeLimit;  // --time-limit: seconds of wall-clock time for the run
  bool strict = false;              // --strict: any error reported makes the exit status 3
  std::optional<bool> fullScreen;   // --fullscreen (true) or --windowed (false)
  std::string inputFile;            // --input: window events to replay
  std::string screenshotFile;       // --screenshot: where the last frame goes
  std::string answersFile;          // --answers: the answers headless dialogs take
  std::string gameFile;
  std::vector<std::string> gameArguments;
  std::string error;  // set when the command line is not usable
};

// Options come before the game file; everything after it belongs to the game.
CommandLine ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();

// What keeps a file from being played, said the way a command-line program
// says it ("is a directory", "no such file", "cannot read it (Permission
// denied)", "not a game file (no game data found)"), or empty.
std::string GameFileProblem(const std::string& path);
// What keeps a screenshot from being written to `path`, or empty; nothing
// is left behind by the check.
std::string ScreenshotProblem(const std::string& path);

// The size of an ELF executable's own image (its section headers end it), or
// nothing when the file is not ELF.
std::optional<std::size_t> ElfImageSize(const std::string& path);
// True when game data follows the executable image at a probe offset.
bool HoldsBundledGame(const std::string& executable);

}  // namespace px
