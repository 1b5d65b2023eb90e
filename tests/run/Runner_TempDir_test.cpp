#include "run/Runner_TempDir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <map>

#include "support/TestSupport.h"

using namespace px;
namespace fs = std::filesystem;

namespace {

EnvLookup FakeEnv(std::map<std::string, std::string> vars) {
  return [vars](const char* name) -> std::optional<std::string> {
    auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

}  // namespace

TEST(TempDir, BaseChoiceOrder) {
  pxtest::ScratchDir dir;
  EXPECT_EQ(TempDir::ChooseBase(dir.path(), FakeEnv({})), "/tmp");
  EXPECT_EQ(TempDir::ChooseBase(dir.path(), FakeEnv({{"TMPDIR", "/var/x"}})), "/var/x");
  EXPECT_EQ(TempDir::ChooseBase(dir.path(), FakeEnv({{"tmp", "/b"}, {"TMPDIR", "/c"}})), "/b");
  EXPECT_EQ(TempDir::ChooseBase(dir.path(), FakeEnv({{"temp", "/a"}, {"tmp", "/b"}})), "/a");
  pxtest::WriteText(dir / "tempdir.txt", "/from/file\r\nsecond line\n");
  EXPECT_EQ(TempDir::ChooseBase(dir.path(), FakeEnv({{"temp", "/a"}})), "/from/file");
}

TEST(TempDir, CreatesMissingBaseAndRemovesNestedTree) {
  pxtest::ScratchDir dir;
  const fs::path base = dir / "not/yet/there";
  pxtest::WriteText(dir / "tempdir.txt", base.string() + "\n");
  std::string path;
  {
    TempDir temp;
    ASSERT_TRUE(temp.Create(dir.path(), FakeEnv({{"temp", "/nonexistent-ignored"}})));
    path = temp.path();
    EXPECT_EQ(fs::path(path).parent_path(), base);
    EXPECT_TRUE(fs::path(path).filename().string().starts_with("px_ttt_"));
    fs::create_directories(path + "/x/y");
    pxtest::WriteText(path + "/x/y/f.txt", "data");
    pxtest::WriteText(path + "/top.txt", "data");
    const std::string name = temp.MakeTempFileName(".wav");
    EXPECT_TRUE(name.starts_with(path + "/a"));
    EXPECT_TRUE(name.ends_with(".wav"));
    EXPECT_FALSE(fs::exists(name));
  }
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(fs::exists(base));
}

TEST(TempDir, FallsBackWhenTheBaseCannotBeCreated) {
  pxtest::ScratchDir dir;
  pxtest::WriteText(dir / "blocker", "a file, not a directory");
  TempDir temp;
  ASSERT_TRUE(temp.Create(dir.path(), FakeEnv({{"temp", (dir / "blocker").string()},
                                               {"TMPDIR", dir.path().string()}})));
  EXPECT_EQ(fs::path(temp.path()).parent_path(), dir.path());
}

TEST(TempDir, DeleteTreeOnlyDeletesFilesInsideTheTemporaryDirectory) {
  pxtest::ScratchDir dir;
  fs::create_directories(dir / "outside/sub");
  pxtest::WriteText(dir / "outside/sub/keep.txt", "x");
  DeleteTempTree(dir / "outside", (dir / "tempdir").string());
  EXPECT_TRUE(fs::exists(dir / "outside/sub/keep.txt"));
}

TEST(TempDir, RemovedWhenTheProcessIsKilledBySignal) {
  for (int sig : {SIGTERM, SIGINT}) {
    pxtest::ScratchDir dir;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      TempDir temp;
      if (!temp.Create(dir.path(), FakeEnv({{"temp", dir.path().string()}}))) _exit(3);
      fs::create_directories(temp.path() + "/nested");
      std::ofstream(temp.path() + "/nested/file") << "x";
      const char done = 1;
      if (write(fds[1], &done, 1) != 1) _exit(4);
      for (;;) pause();
    }
    char done = 0;
    ASSERT_EQ(read(fds[0], &done, 1), 1);
    close(fds[0]);
    close(fds[1]);
    kill(child, sig);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), sig);
    EXPECT_TRUE(fs::is_empty(dir.path())) << "signal " << sig;
  }
}
