// Writes the seed corpus of a fuzz target: for the loader, valid game data
// made by the writer in several shapes; for the data-structure readers, the
// texts their writers give; for the saved-game reader, saved games.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "run/Runner_Load.h"
#include "support/TestSupport.h"

// Texts written by the data-structure functions (fuzz_ds.cpp).
int WriteDataStructureSeeds(const std::filesystem::path& dir);
// Saved games of the saved-game target's game (fuzz_savegame.cpp).
int WriteSavedGameSeeds(const std::filesystem::path& dir);

namespace {

void Write(const std::filesystem::path& path, std::uint8_t mode,
           const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.put(static_cast<char>(mode));
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Each game twice: as stored (mode 0) and as its plain main block (mode 1).
void Save(const std::filesystem::path& dir, const std::string& name, const px::GameFile& game) {
  Write(dir / (name + ".stored"), 0, px::WriteGameData(game));
  Write(dir / (name + ".main"), 1, px::WriteMainBlock(game));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_seeds TARGET DIR\n";
    return 2;
  }
  const std::string target = argv[1];
  const std::filesystem::path dir = argv[2];
  std::filesystem::create_directories(dir);
  if (target == "ds") return WriteDataStructureSeeds(dir);
  if (target == "savegame") return WriteSavedGameSeeds(dir);
  if (target != "loader") return 0;  // other targets have hand-written seeds only

  px::GameFile plain;
  Save(dir, "plain", plain);

  px::GameFile rich;
  rich.debug = true;
  rich.gameId = 77;
  rich.scramble = {px::MakePermutationTable(9), -1, 0};
  rich.fillerCount = -2;
  rich.settings.showProgressBar = true;
  px::TBitmap32 image(3, 2);
  image.SetPixel(1, 1, 0xFF00FF00);
  rich.settings.progressBackImage = image;
  rich.settings.loadingImage = image;
  rich.resources.constants = {{"A", "1"}, {"B", "\"x\""}};
  rich.resources.libraryInitCode = {"x = 1;"};
  rich.resources.roomOrder = {0, 1, 2};
  rich.resources.gameInformation.text = "{\\rtf1 info}";
  rich.d3dxLibrary.assign(64, 0x90);
  Save(dir, "rich", rich);

  Save(dir, "every-record", pxtest::RichGame());
  Save(dir, "sample", pxtest::SampleGame());

  px::GameFile noBar = rich;
  noBar.settings.showProgressBar = false;
  Save(dir, "nobar", noBar);
  return 0;
}
