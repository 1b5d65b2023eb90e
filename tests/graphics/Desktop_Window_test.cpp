// The game window on a real X server: a private Xvfb whose screen is read
// back from its frame-buffer file, so what the window shows is checked
// where a player would see it.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <link.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "graphics/Graphics_Display.h"
#include "platform/Platform_Process.h"
#include "run/Runtime.h"

extern char** environ;

using namespace px;

namespace {

namespace fs = std::filesystem;

// Xvfb on a display number of its own, with its screen in a file.
class XServer {
 public:
  bool Start() {
    if (FindOnPath("Xvfb").empty()) return false;
    char dir[] = "/tmp/pxtest-xvfb-XXXXXX";
    if (!mkdtemp(dir)) return false;
    dir_ = dir;
    for (int n = 70 + getpid() % 200; n < 400 && !pid_; ++n) {
      if (fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) ||
          fs::exists("/tmp/.X" + std::to_string(n) + "-lock"))
        continue;
      display_ = ":" + std::to_string(n);
      std::vector<std::string> args = {"Xvfb", display_,    "-screen", "0",      "1024x768x24",
                                       "-br",  "-nolisten", "tcp",     "-fbdir", dir_};
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      posix_spawn_file_actions_t actions;
      posix_spawn_file_actions_init(&actions);
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
      pid_t pid = 0;
      const bool spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ) == 0;
      posix_spawn_file_actions_destroy(&actions);
      if (!spawned) return false;
      for (int i = 0; i < 100; ++i) {
        if (fs::exists("/tmp/.X11-unix/X" + std::to_string(n))) {
          pid_ = pid;
          break;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) break;  // that number was taken
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      if (!pid_) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
      }
    }
    return pid_ != 0;
  }
  ~XServer() {
    if (pid_) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  const std::string& display() const { return display_; }

  // The screen pixel at (x, y) as 0xRRGGBB, from the server's XWD file.
  std::uint32_t Pixel(int x, int y) const {
    std::ifstream in(dir_ + "/Xvfb_screen0", std::ios::binary);
    auto word = [&](std::streamoff at) {
      unsigned char b[4] = {};
      in.seekg(at);
      in.read(reinterpret_cast<char*>(b), 4);
      return static_cast<std::uint32_t>(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
    };
    const std::uint32_t headerSize = word(0), bytesPerLine = word(48), colours = word(76);
    unsigned char p[4] = {};
    in.seekg(headerSize + colours * 12 + static_cast<std::streamoff>(y) * bytesPerLine + x * 4);
    in.read(reinterpret_cast<char*>(p), 4);
    return static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
  }
  // Waits up to two seconds for the screen to show `want` at (x, y).
  bool Shows(int x, int y, std::uint32_t want) const {
    for (int i = 0; i < 40; ++i) {
      if (Pixel(x, y) == want) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

 private:
  std::string dir_;
  std::string display_;
  pid_t pid_ = 0;
};

// Sets an environment variable for the life of the object.
class EnvVar {
 public:
  EnvVar(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~EnvVar() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Closing the X display unloads Mesa's driver, and LeakSanitizer could
// then no longer name the library behind the driver's own leftovers (its
// suppressions match by library). The driver stays loaded instead.
void KeepGraphicsDriverLoaded() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void*) {
        const std::string path = info->dlpi_name ? info->dlpi_name : "";
        if (path.find("_dri.so") != std::string::npos ||
            path.find("libgallium") != std::string::npos)
          dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}

class DesktopWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x_.Start()) GTEST_SKIP() << "Xvfb is not installed: the desktop window is not tested";
    display_.emplace("DISPLAY", x_.display());
    driver_.emplace("SDL_VIDEODRIVER", "x11");
    platform_ = CreateDesktopPlatform();
    rt_ = std::make_unique<Runtime>(*platform_);
    GameWindow* window = rt_->display.window();
    ASSERT_TRUE(window);
    ASSERT_TRUE(rt_->display.device.Create(*window, 64, 48, false, "test"));
    rt_->display.SetRegionSize(64, 48, true);
  }
  void TearDown() override {
    KeepGraphicsDriverLoaded();
    rt_.reset();
    platform_.reset();
  }
  // Draws the region red and shows it.
  void ShowRed() {
    rt_->display.device.SetViewport(0, 0, 64, 48);
    rt_->display.device.ClearTarget(0x0000FF, 1);
    ASSERT_TRUE(rt_->display.EndFramePresent());
    rt_->display.device.BeginFrame();
    platform_->pumpEvents();
  }
  double CallOn(const char* name, std::initializer_list<double> args);

  XServer x_;
  std::optional<EnvVar> display_, driver_;
  std::unique_ptr<Platform> platform_;
  std::unique_ptr<Runtime> rt_;
};

// Calls a built-in function on the desktop run.
double DesktopWindow::CallOn(const char* name, std::initializer_list<double> args) {
  const std::int32_t index = rt_->code.functions.Find(name);
  if (index < 0) {
    ADD_FAILURE() << name << " is not registered";
    return 0;
  }
  FunctionArgs slots{};
  std::size_t i = 0;
  for (const double a : args) slots[i++] = RValue::FromReal(a);
  RValue result;
  rt_->code.functions[static_cast<std::size_t>(index)].handler(
      *rt_, nullptr, nullptr, static_cast<std::int32_t>(args.size()), result, slots);
  return result.real;
}

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlack = 0;

std::string WindowId(double handle) {
  return std::to_string(static_cast<std::uint64_t>(handle));
}

// What a shell command prints; the test fails when the command fails.
std::string CommandOutput(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    ADD_FAILURE() << "cannot run " << command;
    return {};
  }
  std::string output;
  char buffer[4096];
  while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
  EXPECT_EQ(pclose(pipe), 0) << command << "\n" << output.substr(0, 400);
  return output;
}

}  // namespace

TEST_F(DesktopWindow, WindowFunctionsMoveTheRealWindow) {
  CallOn("window_set_rectangle", {100, 50, 64, 48});
  CallOn("window_set_visible", {1});
  ShowRed();
  EXPECT_TRUE(x_.Shows(100, 50, kRed));
  EXPECT_TRUE(x_.Shows(163, 97, kRed));
  EXPECT_EQ(x_.Pixel(99, 50), kBlack);
  EXPECT_EQ(x_.Pixel(164, 97), kBlack);

  CallOn("window_set_position", {300, 200});
  ShowRed();
  EXPECT_TRUE(x_.Shows(300, 200, kRed));
  EXPECT_EQ(CallOn("window_get_x", {}), 300);
  EXPECT_EQ(CallOn("window_get_y", {}), 200);

  // Twice the size: the region is centred with bands in the window colour.
  CallOn("window_set_color", {0x00FF00});
  CallOn("window_set_size", {128, 96});
  ShowRed();
  EXPECT_TRUE(x_.Shows(300, 200, kGreen));
  EXPECT_TRUE(x_.Shows(300 + 32, 200 + 24, kRed));
  EXPECT_TRUE(x_.Shows(300 + 127, 200 + 95, kGreen));
}

TEST_F(DesktopWindow, FullScreenAndBackToTheSameGeometry) {
  CallOn("window_set_rectangle", {200, 100, 64, 48});
  CallOn("window_set_color", {0x00FF00});
  CallOn("window_set_visible", {1});
  ShowRed();
  ASSERT_TRUE(x_.Shows(200, 100, kRed));

  rt_->display.ToggleFullScreen();  // what F4 does
  ShowRed();
  EXPECT_EQ(CallOn("window_get_fullscreen", {}), 1);
  EXPECT_EQ(CallOn("window_get_width", {}), 1024);
  EXPECT_EQ(CallOn("window_get_height", {}), 768);
  EXPECT_TRUE(x_.Shows(0, 0, kGreen));
  EXPECT_TRUE(x_.Shows(1023, 767, kGreen));
  EXPECT_TRUE(x_.Shows((1024 - 64) / 2, (768 - 48) / 2, kRed));

  rt_->display.ToggleFullScreen();
  ShowRed();
  EXPECT_EQ(CallOn("window_get_fullscreen", {}), 0);
  EXPECT_EQ(CallOn("window_get_x", {}), 200);
  EXPECT_EQ(CallOn("window_get_y", {}), 100);
  EXPECT_EQ(CallOn("window_get_width", {}), 64);
  EXPECT_EQ(CallOn("window_get_height", {}), 48);
  EXPECT_TRUE(x_.Shows(0, 0, kBlack));
  EXPECT_TRUE(x_.Shows(200, 100, kRed));
}

TEST_F(DesktopWindow, HandleIsTheX11WindowId) {
  const double id = CallOn("window_handle", {});
  ASSERT_GT(id, 0);
  if (FindOnPath("xwininfo").empty()) return;
  CallOn("window_set_rectangle", {10, 20, 64, 48});
  CallOn("window_set_visible", {1});
  ShowRed();
  // The X server knows a window of that id and of the client's size.
  const std::string info = CommandOutput("xwininfo -id " + WindowId(id));
  EXPECT_NE(info.find("Width: 64"), std::string::npos) << info;
}

TEST_F(DesktopWindow, TheWindowHasTheIcon) {
  const double id = CallOn("window_handle", {});
  ASSERT_GT(id, 0);
  if (FindOnPath("xprop").empty()) GTEST_SKIP() << "xprop is not installed";
  const std::string icon = CommandOutput("xprop -id " + WindowId(id) + " _NET_WM_ICON");
  // xprop shows the icon's size, then its pixels as text.
  EXPECT_NE(icon.find("Icon (64 x 64)"), std::string::npos) << icon.substr(0, 200);
}
