// pxrun: plays a game file, or the game bundled into this executable.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "library/Function_Registry.h"
#include "platform/Platform.h"
#include "platform/Platform_Versions.h"
#include "run/Dialog_State.h"
#include "run/Runner_CommandLine.h"
#include "run/Runner_Form.h"
#include "run/Runner_Input.h"
#include "run/Runner_OutOfMemory.h"
#include "run/Runtime.h"
#include "sound/Sound_Versions.h"

namespace fs = std::filesystem;

static std::string SelfPath() {
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec).string();
}

static int Play(const px::CommandLine& cl, std::vector<px::ReplayEvent> replay,
                const std::string& answers) {
  std::unique_ptr<px::Platform> platform;
  try {
    platform = px::CreatePlatform({.headless = cl.headless, .out = nullptr});
  } catch (const px::PlatformError& e) {
    std::cerr << "pxrun: " << e.what() << " (try --headless)\n";
    return 1;
  }
  px::Runtime rt(*platform);
  rt.gameFile = cl.gameFile;
  rt.fullScreenOverride = cl.fullScreen;
  rt.maxSteps = cl.maxSteps;
  if (cl.timeLimit) px::SetTimeLimit(rt.code.exec, *cl.timeLimit);
  rt.screenshotFile = cl.screenshotFile;
  rt.replay = std::move(replay);
  if (!answers.empty()) px::SetDialogAnswers(rt, answers);
  rt.parameters.push_back(cl.gameFile);
  rt.parameters.insert(rt.parameters.end(), cl.gameArguments.begin(), cl.gameArguments.end());
  rt.files.secureMode = px::SecureModeFromRegistry(rt.files.registry);

  const fs::path gameDir = fs::absolute(cl.gameFile).parent_path();
  if (!rt.tempDir.Create(gameDir))
    platform->messageBox(px::kMsgTempDir, "pxrun", px::Buttons::Ok, px::MessageIcon::Warning);
  const int status = px::PlayGameFile(rt);
  // For tests of games: an error the game went on after still fails the run.
  if (cl.strict && rt.code.report.count > 0) return 3;
  return status;
}

int main(int argc, char** argv) {
  px::EndProcessWhenOutOfMemory("pxrun");
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string self = SelfPath();
  if (!self.empty() && px::HoldsBundledGame(self)) {
    // A bundled game gets every argument; pxrun has no options of its own then.
    px::CommandLine cl;
    cl.gameFile = self;
    cl.gameArguments = args;
    cl.headless = std::getenv("PXRUN_HEADLESS") != nullptr;
    if (const char* steps = std::getenv("PXRUN_MAX_STEPS")) cl.maxSteps = std::atoll(steps);
    return Play(cl, {}, {});
  }

  const px::CommandLine cl = px::ParseCommandLine(args);
  if (cl.help) {
    std::cout << px::UsageText();
    return 0;
  }
  if (cl.version) {
    std::cout << "pxrun " << PXRUN_VERSION << '\n'
              << px::PlatformLibraryVersions() << '\n'
              << px::SoundLibraryVersions() << '\n';
    return 0;
  }
  if (!cl.error.empty()) {
    std::cerr << "pxrun: " << cl.error << "\n\n" << px::UsageText();
    return 2;
  }
  if (!cl.screenshotFile.empty()) {
    if (const std::string problem = px::ScreenshotProblem(cl.screenshotFile); !problem.empty()) {
      std::cerr << "pxrun: " << cl.screenshotFile << ": " << problem << '\n';
      return 2;
    }
  }
  std::vector<px::ReplayEvent> replay;
  if (!cl.inputFile.empty()) {
    px::ReplayFile file = px::LoadReplay(cl.inputFile);
    if (!file.error.empty()) {
      std::cerr << "pxrun: " << file.error << '\n';
      return 2;
    }
    replay = std::move(file.events);
  }
  std::string answers;
  if (!cl.answersFile.empty()) {
    std::ifstream in(cl.answersFile, std::ios::binary);
    if (!in) {
      std::cerr << "pxrun: cannot read the answers file '" << cl.answersFile << "'\n";
      return 2;
    }
    // Bounded, so that a device or a runaway file cannot fill the memory.
    constexpr std::size_t kMaxAnswersBytes = std::size_t{1} << 20;
    answers.resize(kMaxAnswersBytes + 1);
    in.read(answers.data(), static_cast<std::streamsize>(answers.size()));
    answers.resize(static_cast<std::size_t>(in.gcount()));
    if (answers.size() > kMaxAnswersBytes) {
      std::cerr << "pxrun: " << cl.answersFile << ": an answers file is at most 1 MB\n";
      return 2;
    }
  }
  // Said here, where the player sees it; the runner then shows its own
  // message for the game file too, in its own words.
  if (const std::string problem = px::GameFileProblem(cl.gameFile); !problem.empty())
    std::cerr << "pxrun: " << cl.gameFile << ": " << problem << '\n';
  return Play(cl, std::move(replay), answers);
}
