#include "support/TestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <stdexcept>

extern char** environ;

namespace pxtest {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  std::random_device rd;
  path_ = fs::temp_directory_path() /
          ("pxtest_" + std::to_string(getpid()) + "_" + std::to_string(rd()));
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, const std::string& text) {
  WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

static std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env) {
  ScratchDir io;
  const std::string outPath = (io / "out").string(), errPath = (io / "err").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

  std::vector<std::string> argStore{program};
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStore;
  for (char** e = environ; *e; ++e) envStore.emplace_back(*e);
  envStore.insert(envStore.end(), env.begin(), env.end());
  std::vector<char*> envp;
  for (auto& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);

  pid_t pid;
  ProcessResult result;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    throw std::runtime_error("cannot start " + program);
  }
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = Slurp(outPath);
  result.err = Slurp(errPath);
  return result;
}

ProcessResult RunPxrun(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  return RunProgram(PXRUN_BINARY, args, env);
}

px::GameFile SampleGame() {
  px::GameFile game;
  game.gameId = 424242;
  for (int i = 0; i < 16; ++i) game.gameGuid[i] = static_cast<std::uint8_t>(i * 17);
  game.d3dxLibrary = {'M', 'Z', 0x90, 0};
  game.resources.constants = {{"SPEED", "4"}, {"NAME", "\"demo\""}};
  game.resources.gameInformation.caption = "About";
  game.resources.gameInformation.text = "{\\rtf1 hello}";
  game.resources.libraryInitCode = {"a = 1;", "b = 2;"};
  game.resources.roomOrder = {0, 2, 1};
  game.resources.lastInstanceId = 100007;
  game.resources.lastTileId = 10000003;
  return game;
}

}  // namespace pxtest
