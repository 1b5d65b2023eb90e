// pxpack: packs a project directory into a game file, bundles it with
// pxrun into one executable, or summarises a game file.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "pack/Pack_Project.h"
#include "run/Runner_Load.h"
#include "run/Runner_OutOfMemory.h"

namespace fs = std::filesystem;

namespace {

const char* kUsage =
    "Usage: pxpack PROJECT_DIR -o GAMEFILE\n"
    "       pxpack --bundle PROJECT_DIR -o EXECUTABLE [--runner PXRUN]\n"
    "       pxpack --info GAMEFILE\n"
    "       pxpack --version\n"
    "\n"
    "Packs the project whose manifest is PROJECT_DIR/game.json into a game file\n"
    "that pxrun plays; --bundle makes a copy of pxrun that plays the game by itself\n"
    "(pxrun is looked up beside pxpack unless --runner names it); --info prints a\n"
    "summary of any game file.\n";

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes, bool executable) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
  out.close();
  if (executable)
    fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add);
}

int Usage() {
  std::cerr << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  px::EndProcessWhenOutOfMemory("pxpack");
  const std::vector<std::string> args(argv + 1, argv + argc);
  bool bundle = false;
  std::string info, project, output, runner;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
      return args[++i];
    };
    try {
      if (a == "--help" || a == "-h") {
        std::cout << kUsage;
        return 0;
      } else if (a == "--version") {
        std::cout << "pxpack " << PXRUN_VERSION << '\n';
        return 0;
      } else if (a == "--bundle") {
        bundle = true;
      } else if (a == "--info") {
        info = value();
      } else if (a == "-o" || a == "--output") {
        output = value();
      } else if (a == "--runner") {
        runner = value();
      } else if (!a.empty() && a[0] == '-') {
        std::cerr << "pxpack: unknown option '" << a << "'\n\n";
        return Usage();
      } else if (project.empty()) {
        project = a;
      } else {
        return Usage();
      }
    } catch (const std::invalid_argument& e) {
      std::cerr << "pxpack: " << e.what() << "\n\n";
      return Usage();
    }
  }

  try {
    if (!info.empty()) {
      if (!project.empty() || !output.empty() || bundle) return Usage();
      std::size_t offset = 0;
      const px::GameFile game = px::ReadGameFile(ReadFile(info), &offset);
      std::cout << px::DescribeGame(game, offset);
      return 0;
    }
    if (project.empty() || output.empty()) return Usage();
    const px::GameFile game = px::LoadProject(project);
    std::vector<std::uint8_t> prefix;
    if (bundle) {
      if (runner.empty())
        runner = (fs::read_symlink("/proc/self/exe").parent_path() / "pxrun").string();
      prefix = ReadFile(runner);
    }
    WriteFile(output, px::WriteGameFile(game, prefix), bundle);
    return 0;
  } catch (const px::StreamError& e) {
    std::cerr << "pxpack: " << px::kMsgCorrupted << " (" << e.what() << ")\n";
  } catch (const std::exception& e) {
    std::cerr << "pxpack: " << e.what() << '\n';
  }
  return 1;
}
