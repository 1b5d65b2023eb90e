// The highscore table: ten ranks of (name, score) kept in the registry per
// game, their encoded form, inserting a score, and showing the table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace px {

struct Runtime;

struct ScoreEntry {
  std::string name;
  std::int32_t score = 0;
  bool operator==(const ScoreEntry&) const = default;
};

constexpr int kScoreRanks = 10;
using ScoreTable = std::array<ScoreEntry, kScoreRanks>;

// The registry key of a game's table, under the current user.
std::string HighscoreKey(std::int32_t gameId);
// The stored text of an entry: the score's four bytes, twelve zeros and
// the name's bytes, each shifted by its position and the game id and
// written as two letters "A".."P".
std::string EncodeScore(const ScoreEntry& entry, std::int32_t gameId);
// Nothing when the text is too short to hold a score.
std::optional<ScoreEntry> DecodeScore(std::string_view text, std::int32_t gameId);

// The table as stored; a rank with no readable value is (nobody, 0).
ScoreTable ReadScores(Runtime& rt);
// The rank (1..10) a new score takes: the first whose score is lower; 0
// when it does not qualify.
int RankFor(const ScoreTable& table, std::int32_t score);
// Inserts the entry when it qualifies, moving the lower ranks down and
// dropping the tenth; the rank it took, or 0.
int InsertScore(Runtime& rt, const ScoreEntry& entry);
// Stores one rank.
void WriteScore(Runtime& rt, int rank, const ScoreEntry& entry);
// Every rank becomes (nobody, 0).
void ClearScores(Runtime& rt);

// Inserts `score` with the name the player types, shows the table until
// Escape or Enter, then stores the typed name.
void ShowHighscore(Runtime& rt, std::int32_t score);
// Asks for a name when the game's score beats the tenth and inserts it.
void AddCurrentScore(Runtime& rt);

// The text of the table as the headless run prints it: the caption, one
// line per rank ("1. name score"), then the close text.
std::string HighscoreText(Runtime& rt, const ScoreTable& table);

}  // namespace px
