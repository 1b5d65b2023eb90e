// The layers of src/ as docs/architecture.md draws them: every #include "…"
// between two folders must follow an arrow of the document's table, and the
// table itself must have no cycle.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Layers = std::map<std::string, std::set<std::string>>;

const fs::path kSource = fs::path(PXRUN_SOURCE_DIR) / "src";
const fs::path kDocument = fs::path(PXRUN_SOURCE_DIR) / "docs" / "architecture.md";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The rows "| `folder` | `other`, `another` |" of the table under the
// heading "## Which folder may include which"; "—" for none.
Layers ReadLayerTable() {
  std::istringstream doc(ReadFile(kDocument));
  Layers layers;
  bool inSection = false;
  const std::regex row(R"(^\|\s*`([a-z]+)`\s*\|(.*)\|\s*$)");
  const std::regex name("`([a-z]+)`");
  for (std::string line; std::getline(doc, line);) {
    if (line.rfind("## ", 0) == 0) inSection = line == "## Which folder may include which";
    std::smatch m;
    if (!inSection || !std::regex_match(line, m, row)) continue;
    std::set<std::string>& allowed = layers[m[1]];
    const std::string rest = m[2];
    for (auto it = std::sregex_iterator(rest.begin(), rest.end(), name);
         it != std::sregex_iterator(); ++it)
      allowed.insert((*it)[1]);
  }
  return layers;
}

// The first folder of a path below src/.
std::string FolderOf(const fs::path& relative) {
  return relative.begin()->string();
}

struct Arrow {
  std::string file;     // below src/
  std::string include;  // as written
  std::string from;
  std::string to;
};

std::vector<Arrow> CrossFolderIncludes() {
  std::vector<Arrow> arrows;
  const std::regex include(R"re(^\s*#\s*include\s+"([^"]+)")re");
  for (const auto& entry : fs::recursive_directory_iterator(kSource)) {
    const fs::path& path = entry.path();
    if (!entry.is_regular_file() || (path.extension() != ".h" && path.extension() != ".cpp"))
      continue;
    const fs::path relative = fs::relative(path, kSource);
    std::istringstream text(ReadFile(path));
    for (std::string line; std::getline(text, line);) {
      std::smatch m;
      if (!std::regex_search(line, m, include)) continue;
      const fs::path target(m[1].str());
      // Only our own headers, named from src/.
      if (!fs::exists(kSource / target)) continue;
      const std::string from = FolderOf(relative);
      const std::string to = FolderOf(target);
      if (from != to) arrows.push_back({relative.string(), m[1], from, to});
    }
  }
  return arrows;
}

// Follows the table's arrows from `folder`; true when it comes back to
// `start`.
bool ReachesBack(const Layers& layers, const std::string& start, const std::string& folder,
                 std::set<std::string>& seen) {
  const auto it = layers.find(folder);
  if (it == layers.end()) return false;
  for (const std::string& next : it->second) {
    if (next == start) return true;
    if (seen.insert(next).second && ReachesBack(layers, start, next, seen)) return true;
  }
  return false;
}

TEST(IncludeDirection, TableNamesEveryFolderAndHasNoCycle) {
  const Layers layers = ReadLayerTable();
  ASSERT_FALSE(layers.empty()) << "no layer table found in " << kDocument;
  for (const auto& entry : fs::directory_iterator(kSource)) {
    if (!entry.is_directory()) continue;
    EXPECT_TRUE(layers.contains(entry.path().filename().string()))
        << "src/" << entry.path().filename().string() << " has no row in " << kDocument;
  }
  for (const auto& [folder, allowed] : layers) {
    for (const std::string& other : allowed)
      EXPECT_TRUE(layers.contains(other)) << folder << " may include unknown folder " << other;
    std::set<std::string> seen;
    EXPECT_FALSE(ReachesBack(layers, folder, folder, seen))
        << folder << " can reach itself through the table's arrows";
  }
}

TEST(IncludeDirection, EveryIncludeFollowsTheTable) {
  const Layers layers = ReadLayerTable();
  ASSERT_FALSE(layers.empty());
  std::vector<std::string> forbidden;
  for (const Arrow& a : CrossFolderIncludes()) {
    const auto it = layers.find(a.from);
    if (it == layers.end() || !it->second.contains(a.to))
      forbidden.push_back("src/" + a.file + " includes \"" + a.include + "\" (" + a.from + " -> " +
                          a.to + ")");
  }
  std::string list;
  for (const std::string& f : forbidden) list += "  " + f + "\n";
  EXPECT_TRUE(forbidden.empty()) << forbidden.size() << " includes go against "
                                 << kDocument.filename() << ":\n"
                                 << list;
}

TEST(IncludeDirection, FunctionFamiliesLiveInTheLibrary) {
  for (const auto& entry : fs::recursive_directory_iterator(kSource)) {
    const fs::path relative = fs::relative(entry.path(), kSource);
    if (entry.is_regular_file() && relative.filename().string().rfind("Function_", 0) == 0) {
      EXPECT_EQ(FolderOf(relative), "library") << "src/" << relative.string();
    }
  }
}

}  // namespace
