#include "run/Dialog_Highscore.h"

#include <span>

#include "run/Dialog_Message.h"
#include "run/Dialog_State.h"
#include "run/Dialog_Window.h"
#include "run/Runtime.h"

namespace px {
namespace {

constexpr std::size_t kScoreBytes = 16;

// Position k (from 1) shifts its number by k + gameId, within 0..255.
int Shift(std::size_t k, std::int32_t gameId) {
  const std::int64_t s = (static_cast<std::int64_t>(k) + gameId) % 256;
  return static_cast<int>(s < 0 ? s + 256 : s);
}

std::string RankName(int rank) {
  return "Rank" + std::to_string(rank);
}

}  // namespace

std::string HighscoreKey(std::int32_t gameId) {
  return "\\Software\\Plexamo\\Scores\\" + std::to_string(gameId);
}

std::string EncodeScore(const ScoreEntry& entry, std::int32_t gameId) {
  const auto score = static_cast<std::uint32_t>(entry.score);
  std::string text;
  text.reserve(2 * (kScoreBytes + entry.name.size()));
  const auto put = [&](std::size_t k, int number) {
    const int v = (number + Shift(k, gameId)) % 256;
    text += static_cast<char>('A' + v / 16);
    text += static_cast<char>('A' + v % 16);
  };
  for (std::size_t k = 1; k <= kScoreBytes; ++k)
    put(k, k <= 4 ? static_cast<int>((score >> (8 * (k - 1))) & 0xFF) : 0);
  for (std::size_t i = 0; i < entry.name.size(); ++i)
    put(kScoreBytes + i + 1, static_cast<unsigned char>(entry.name[i]));
  return text;
}

std::optional<ScoreEntry> DecodeScore(std::string_view text, std::int32_t gameId) {
  if (text.size() < 2 * kScoreBytes) return std::nullopt;
  const auto number = [&](std::size_t k) {
    const int h = static_cast<unsigned char>(text[2 * (k - 1)]) - 'A';
    const int l = static_cast<unsigned char>(text[2 * (k - 1) + 1]) - 'A';
    const int v = (16 * h + l - Shift(k, gameId)) % 256;
    return static_cast<std::uint8_t>(v < 0 ? v + 256 : v);
  };
  ScoreEntry entry;
  std::uint32_t score = 0;
  for (std::size_t k = 1; k <= 4; ++k)
    score |= static_cast<std::uint32_t>(number(k)) << (8 * (k - 1));
  entry.score = static_cast<std::int32_t>(score);
  const std::size_t count = text.size() / 2;
  for (std::size_t k = kScoreBytes + 1; k <= count; ++k) entry.name += static_cast<char>(number(k));
  return entry;
}

ScoreTable ReadScores(Runtime& rt) {
  const std::string key = HighscoreKey(rt.flags.gameId);
  const std::string& nobody = Dialogs(rt).highscore.nobody;
  ScoreTable table;
  for (int rank = 1; rank <= kScoreRanks; ++rank) {
    ScoreEntry& entry = table[static_cast<std::size_t>(rank - 1)];
    const auto stored =
        ValueAsString(rt.files.registry.read(RegistryRoot::CurrentUser, key, RankName(rank)));
    const auto decoded = stored ? DecodeScore(*stored, rt.flags.gameId) : std::nullopt;
    entry = decoded.value_or(ScoreEntry{nobody, 0});
  }
  return table;
}

int RankFor(const ScoreTable& table, std::int32_t score) {
  for (int rank = 1; rank <= kScoreRanks; ++rank)
    if (table[static_cast<std::size_t>(rank - 1)].score < score) return rank;
  return 0;
}

void WriteScore(Runtime& rt, int rank, const ScoreEntry& entry) {
  rt.files.registry.write(RegistryRoot::CurrentUser, HighscoreKey(rt.flags.gameId), RankName(rank),
                          {RegistryType::String, EncodeScore(entry, rt.flags.gameId)});
}

int InsertScore(Runtime& rt, const ScoreEntry& entry) {
  const ScoreTable table = ReadScores(rt);
  const int rank = RankFor(table, entry.score);
  if (rank == 0) return 0;
  // Written from the bottom up: each write overwrites the entry just copied
  // one place down (or the dropped tenth), so a run stopped between two
  // writes holds every entry that was there, one of them twice.
  for (int r = kScoreRanks; r > rank; --r)
    WriteScore(rt, r, table[static_cast<std::size_t>(r - 2)]);
  WriteScore(rt, rank, entry);
  return rank;
}

void ClearScores(Runtime& rt) {
  const ScoreEntry empty{Dialogs(rt).highscore.nobody, 0};
  for (int rank = 1; rank <= kScoreRanks; ++rank) WriteScore(rt, rank, empty);
}

std::string HighscoreText(Runtime& rt, const ScoreTable& table) {
  const HighscoreSettings& s = Dialogs(rt).highscore;
  std::string text = s.caption;
  for (int rank = 1; rank <= kScoreRanks; ++rank) {
    const ScoreEntry& e = table[static_cast<std::size_t>(rank - 1)];
    text += "\n" + std::to_string(rank) + ". " + e.name + " " + std::to_string(e.score);
  }
  text += "\n" + s.closeText;
  return text;
}

void ShowHighscore(Runtime& rt, std::int32_t score) {
  const int rank = InsertScore(rt, ScoreEntry{"", score});
  const ScoreTable table = ReadScores(rt);
  std::string name;
  if (rt.platform.headless()) {
    rt.platform.choiceBox(HighscoreText(rt, table), rt.applicationTitle,
                          std::span<const std::string_view>{}, 0);
    if (rank > 0) name = NextDialogAnswer(rt).value_or("");
  } else {
    name = RunHighscoreWindow(rt, table, rank);
  }
  if (rank > 0) WriteScore(rt, rank, ScoreEntry{name, score});
  ClearInput(rt.input);
}

void AddCurrentScore(Runtime& rt) {
  const std::int32_t score = rt.world.score;
  if (RankFor(ReadScores(rt), score) == 0) return;
  const std::string name = AskText(
      rt, "You reached a place in the highscore table.\rPlease provide your name.", "player");
  InsertScore(rt, ScoreEntry{name, score});
}

}  // namespace px
