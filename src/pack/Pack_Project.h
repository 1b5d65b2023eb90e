// Projects for pxpack: a directory with a "game.json" manifest and one file
// per image, sound or piece of code, turned into a GameFile; and the
// readable summary of a game file.
#pragma once

#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>

#include "run/Runner_Load.h"

namespace px {

class ProjectError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kManifestName = "game.json";

// Throws ProjectError naming the file and the fault.
GameFile LoadProject(const std::filesystem::path& dir);
std::string DescribeGame(const GameFile& game, std::size_t dataOffset);
// Every resource of every list, slot by slot, with its fields.
void DescribeResources(std::ostream& out, const GameResources& r);

}  // namespace px
