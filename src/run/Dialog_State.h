// The settings of the message window and the highscore window, kept for the
// whole run, and the queue of answers a headless run gives its dialogs.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace px {

struct Runtime;

enum class FontStyle : std::uint8_t { Normal = 0, Bold = 1, Italic = 2, BoldItalic = 3 };

// A font as the dialogs name it: the system font's name, its point size,
// its colour (0xBBGGRR) and its style.
struct DialogFont {
  std::string name;
  int size = 8;
  std::uint32_t color = 0xFFFFFF;
  FontStyle style = FontStyle::Normal;
};

// What the message window keeps between dialogs.
struct MessageSettings {
  int background = -1;    // background resource whose image is the window picture; -1 the default
  int buttonSprite = -1;  // sprite whose subimages 0..2 are the button images; -1 the default
  std::uint8_t alpha = 255;
  DialogFont textFont{"MS Sans Serif", 8, 0xFFFFFF, FontStyle::Normal};
  DialogFont buttonFont{"MS Sans Serif", 8, 0xFFFFFF, FontStyle::Bold};
  DialogFont inputFont{"MS Sans Serif", 8, 0xFFFFFF, FontStyle::Normal};
  std::uint32_t mouseColor = 0x00FFFF;  // button text under the mouse: yellow
  std::uint32_t inputColor = 0x3C3C3C;
  int left = -1, top = -1;      // -1: centred
  int width = -1, height = -1;  // -1: automatic
  bool showCaption = false;
  std::string caption;
};

// What the highscore window keeps between showings.
struct HighscoreSettings {
  int background = -1;
  std::uint32_t windowColor = 0xF0FBFF;
  std::uint32_t newColor = 0x0000FF;
  std::uint32_t otherColor = 0x000000;
  DialogFont font{"Times New Roman", 12, 0, FontStyle::Normal};
  bool border = true;
  std::string caption = "Top Ten Players";
  std::string nobody = "<nobody>";
  std::string closeText = "press <Escape> to close";
};

struct DialogState {
  MessageSettings message;
  HighscoreSettings highscore;
  // Answers given to the dialogs in order, when the run was given a file of
  // them; a dialog that finds none left takes its default answer.
  std::deque<std::string> answers;
};

// The run's dialog state, made on first use.
DialogState& Dialogs(Runtime& rt);

// Gives the run the answers of its dialogs, one per line of `text` (CR LF
// or LF ends a line).
void SetDialogAnswers(Runtime& rt, std::string_view text);
// The next answer, removed from the queue; nothing when none is left.
std::optional<std::string> NextDialogAnswer(Runtime& rt);

}  // namespace px
