#include "run/Runner_TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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
    EXPECT_TRUE(fs::is_regular_file(name));  // taken at once, so no other run gets it
    EXPECT_EQ(temp.MakeTempFileName("/../../escape").find('/', path.size() + 1), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(fs::exists(base));
}

TEST(TempDir, StillCreatedWhenEveryNumberedNameIsTaken) {
  pxtest::ScratchDir dir;
  for (int n = 0; n <= 99999; ++n)
    ASSERT_EQ(::mkdir((dir.path() / ("px_ttt_" + std::to_string(n))).c_str(), 0700), 0);
  TempDir temp;
  ASSERT_TRUE(temp.TryCreate(dir.path().string()));
  EXPECT_TRUE(fs::path(temp.path()).filename().string().starts_with("px_ttt_"));
  EXPECT_TRUE(fs::is_empty(temp.path()));
}

TEST(TempDir, FoldersOfKilledRunsAreRemovedAtStartUp) {
  pxtest::ScratchDir dir;
  const fs::path base = dir / "base";
  pxtest::WriteText(dir / "tempdir.txt", base.string() + "\n");
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  auto folder = [&](const std::string& name, bool aged) {
    fs::create_directories(base / name / "sub");
    pxtest::WriteText(base / name / "sub/file.txt", "left behind");
    if (aged) fs::last_write_time(base / name, old);
    return base / name;
  };
  TempDir running;  // a run that is still going holds its folder
  ASSERT_TRUE(running.TryCreate(base.string()));
  fs::last_write_time(running.path(), old);
  const fs::path killed = folder("px_ttt_4242", true);
  const fs::path young = folder("px_ttt_4243", false);
  const fs::path foreign = folder("other_4244", true);

  TempDir next;
  ASSERT_TRUE(next.Create(dir.path(), FakeEnv({})));
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_TRUE(fs::exists(running.path()));
  EXPECT_TRUE(fs::exists(young));  // may be a run that has not locked it yet
  EXPECT_TRUE(fs::exists(foreign));
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
