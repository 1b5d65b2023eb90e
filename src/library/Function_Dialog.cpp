#include "library/Function_Dialog.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "code/Support_Format.h"
#include "graphics/Graphics_Text.h"
#include "library/Function_Graphics.h"
#include "library/Function_Support.h"
#include "run/Dialog_Highscore.h"
#include "run/Dialog_Message.h"
#include "run/Dialog_State.h"
#include "run/Dialog_Text.h"
#include "run/Run_Error.h"
#include "run/Runtime.h"

namespace px {
namespace {

using Args = const FunctionArgs&;

#define PX_DIALOG_FN(name)                                                              \
  void name([[maybe_unused]] Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] Args a)

// A value as a dialog shows it: a string as it is, a whole real as an
// integer, any other real with two decimals.
std::string Shown(const RValue& v) {
  return v.isString() ? v.str() : RealToText(v.real);
}

std::uint32_t Colour(const RValue& v) {
  return static_cast<std::uint32_t>(RealToInt(v.real)) & 0xFFFFFF;
}

MessageSettings& Message(Runtime& rt) {
  return Dialogs(rt).message;
}

HighscoreSettings& Highscore(Runtime& rt) {
  return Dialogs(rt).highscore;
}

// ---- Messages, questions and input ----

PX_DIALOG_FN(ShowMessage) {
  ShowMessageButtons(rt, Shown(a[0]), "", "OK", "");
}
PX_DIALOG_FN(ShowQuestion) {
  result.setReal(Truth(ShowMessageButtons(rt, Shown(a[0]), "Yes", "", "No") == 1));
}
PX_DIALOG_FN(ShowMessageExt) {
  result.setReal(ShowMessageButtons(rt, Shown(a[0]), Shown(a[1]), Shown(a[2]), Shown(a[3])));
}
PX_DIALOG_FN(GetString) {
  result.setString(AskText(rt, Shown(a[0]), Shown(a[1])));
}
PX_DIALOG_FN(GetInteger) {
  const std::string typed = AskText(rt, Shown(a[0]), std::to_string(RealToInt(a[1].real)));
  const auto n = TypedInteger(typed);
  result.setReal(n ? double(*n) : a[1].real);
}

// ---- The message window's settings ----

PX_DIALOG_FN(MessageBackground) {
  const int index = IntArg(a[0]);
  if (!rt.resources.backgrounds.exists(index)) {
    RuntimeError(rt, "Trying to set a non-existing message background");
    return;
  }
  Message(rt).background = index;
}
PX_DIALOG_FN(MessageButton) {
  const int index = IntArg(a[0]);
  if (!rt.resources.sprites.exists(index)) {
    RuntimeError(rt, "Trying to set a non-existing message button");
    return;
  }
  Message(rt).buttonSprite = index;
}
PX_DIALOG_FN(MessageAlpha) {
  const double v = std::nearbyint(a[0].real * 255.0);
  Message(rt).alpha = static_cast<std::uint8_t>(std::isnan(v) ? 0 : std::clamp(v, 0.0, 255.0));
}

// name when not empty, size when >= 0, colour when >= 0, style 0..3.
void SetFont(DialogFont& f, Args a) {
  if (!a[0].str().empty()) f.name = a[0].str();
  if (a[1].real >= 0) f.size = RealToInt(a[1].real);
  if (a[2].real >= 0) f.color = Colour(a[2]);
  const int style = IntArg(a[3]);
  if (style >= 0 && style <= 3) f.style = static_cast<FontStyle>(style);
}
PX_DIALOG_FN(MessageTextFont) {
  SetFont(Message(rt).textFont, a);
}
PX_DIALOG_FN(MessageButtonFont) {
  SetFont(Message(rt).buttonFont, a);
}
PX_DIALOG_FN(MessageInputFont) {
  SetFont(Message(rt).inputFont, a);
}
PX_DIALOG_FN(MessageMouseColor) {
  Message(rt).mouseColor = Colour(a[0]);
}
PX_DIALOG_FN(MessageInputColor) {
  Message(rt).inputColor = Colour(a[0]);
}
PX_DIALOG_FN(MessagePosition) {
  Message(rt).left = IntArg(a[0]);
  Message(rt).top = IntArg(a[1]);
}
PX_DIALOG_FN(MessageSize) {
  Message(rt).width = IntArg(a[0]);
  Message(rt).height = IntArg(a[1]);
}
PX_DIALOG_FN(MessageCaption) {
  Message(rt).showCaption = FlagArg(a[0]);
  Message(rt).caption = Shown(a[1]);
}

// ---- Menus and pickers ----

PX_DIALOG_FN(ShowMenu) {
  result.setReal(ShowPopupMenu(rt, Shown(a[0]), std::nullopt, a[1].real));
}
PX_DIALOG_FN(ShowMenuPos) {
  const Point at = rt.display.WindowToRegion({IntArg(a[0]), IntArg(a[1])});
  result.setReal(ShowPopupMenu(rt, Shown(a[2]), at, a[3].real));
}
PX_DIALOG_FN(GetColor) {
  result.setReal(PickColor(rt, a[0].real));
}
PX_DIALOG_FN(GetOpenFilename) {
  result.setString(PickPath(rt, PathPicker::Open, "Open", Shown(a[0]), Shown(a[1])));
}
PX_DIALOG_FN(GetSaveFilename) {
  result.setString(PickPath(rt, PathPicker::Save, "Save As", Shown(a[0]), Shown(a[1])));
}
PX_DIALOG_FN(GetDirectory) {
  result.setString(PickPath(rt, PathPicker::Directory, "Select Directory", "", Shown(a[0])));
}
PX_DIALOG_FN(GetDirectoryAlt) {
  result.setString(PickPath(rt, PathPicker::Directory, Shown(a[0]), "", Shown(a[1])));
}

// ---- The highscore table ----

PX_DIALOG_FN(HighscoreShow) {
  ShowHighscore(rt, RealToInt(a[0].real));
}
PX_DIALOG_FN(HighscoreSetBackground) {
  Highscore(rt).background = IntArg(a[0]);
}
PX_DIALOG_FN(HighscoreSetBorder) {
  Highscore(rt).border = FlagArg(a[0]);
}
PX_DIALOG_FN(HighscoreSetFont) {
  HighscoreSettings& h = Highscore(rt);
  h.font.name = Shown(a[0]);
  h.font.size = IntArg(a[1]);
  const int style = IntArg(a[2]);
  if (style >= 0 && style <= 3) h.font.style = static_cast<FontStyle>(style);
}
PX_DIALOG_FN(HighscoreSetColors) {
  HighscoreSettings& h = Highscore(rt);
  h.windowColor = Colour(a[0]);
  h.newColor = Colour(a[1]);
  h.otherColor = Colour(a[2]);
}
PX_DIALOG_FN(HighscoreSetStrings) {
  HighscoreSettings& h = Highscore(rt);
  h.caption = Shown(a[0]);
  h.nobody = Shown(a[1]);
  h.closeText = Shown(a[2]);
}
PX_DIALOG_FN(HighscoreShowExt) {
  HighscoreSettings& h = Highscore(rt);
  h.background = IntArg(a[1]);
  h.border = FlagArg(a[2]);
  h.newColor = Colour(a[3]);
  h.otherColor = Colour(a[4]);
  h.font.name = Shown(a[5]);
  h.font.size = IntArg(a[6]);
  ShowHighscore(rt, RealToInt(a[0].real));
}
PX_DIALOG_FN(HighscoreClear) {
  ClearScores(rt);
}
PX_DIALOG_FN(HighscoreAdd) {
  InsertScore(rt, ScoreEntry{Shown(a[0]), RealToInt(a[1].real)});
}
PX_DIALOG_FN(HighscoreAddCurrent) {
  AddCurrentScore(rt);
}

// The entry at a rank 1..10, nothing for any other place.
const ScoreEntry* EntryAt(const ScoreTable& table, const RValue& place) {
  const std::int64_t rank = RealToCount(place.real);
  if (rank < 1 || rank > kScoreRanks) return nullptr;
  return &table[static_cast<std::size_t>(rank - 1)];
}
PX_DIALOG_FN(HighscoreValue) {
  const ScoreTable table = ReadScores(rt);
  const ScoreEntry* e = EntryAt(table, a[0]);
  result.setReal(e ? e->score : 0);
}
PX_DIALOG_FN(HighscoreName) {
  const ScoreTable table = ReadScores(rt);
  const ScoreEntry* e = EntryAt(table, a[0]);
  result.setString(e ? e->name : Highscore(rt).nobody);
}

// Ten rows from y1 down, one row height apart: the name from x1, the
// score ending at x2, in the drawing font and colour.
PX_DIALOG_FN(DrawHighscore) {
  const ScoreTable table = ReadScores(rt);
  const double x1 = a[0].real, y1 = a[1].real;
  const double row = std::nearbyint((a[3].real - y1) / 10);
  const double right = x1 + std::nearbyint(a[2].real - x1);
  TextStyle left;
  TextStyle rightAligned;
  rightAligned.halign = 2;
  for (int i = 0; i < kScoreRanks; ++i) {
    const ScoreEntry& e = table[static_cast<std::size_t>(i)];
    const double y = y1 + i * row;
    DrawTextWith(rt, rt.display.text.font, x1, y, e.name, left);
    DrawTextWith(rt, rt.display.text.font, right, y, std::to_string(e.score), rightAligned);
  }
}

// ---- Actions ----

// A font argument of an action: the name, optionally in quotes, then
// after commas the size and the bold and italic flags.
void ApplyActionFont(DialogFont& f, std::string_view text) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    fields.emplace_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  std::string name = fields[0];
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
    name = name.substr(1, name.size() - 2);
  if (!name.empty()) f.name = name;
  if (fields.size() > 1) {
    if (const auto size = TypedInteger(fields[1]); size && *size > 0) f.size = *size;
  }
  const auto flag = [&](std::size_t i) {
    return fields.size() > i && TypedInteger(fields[i]).value_or(0) != 0;
  };
  const int style = (flag(2) ? 1 : 0) + (flag(3) ? 2 : 0);
  if (fields.size() > 2) f.style = static_cast<FontStyle>(style);
}

PX_DIALOG_FN(ActionHighscoreShow) {
  HighscoreSettings& h = Highscore(rt);
  h.background = IntArg(a[0]);
  h.border = FlagArg(a[1]);
  h.newColor = Colour(a[2]);
  h.otherColor = Colour(a[3]);
  ApplyActionFont(h.font, Shown(a[4]));
  ShowHighscore(rt, rt.world.score);
}
PX_DIALOG_FN(ActionHighscoreClear) {
  ClearScores(rt);
}

#undef PX_DIALOG_FN

constexpr FunctionDef kDialogFunctions[] = {
    {"show_message", ShowMessage},
    {"show_question", ShowQuestion},
    {"show_message_ext", ShowMessageExt},
    {"get_string", GetString},
    {"get_integer", GetInteger},
    {"message_background", MessageBackground},
    {"message_button", MessageButton},
    {"message_alpha", MessageAlpha},
    {"message_text_font", MessageTextFont},
    {"message_button_font", MessageButtonFont},
    {"message_input_font", MessageInputFont},
    {"message_mouse_color", MessageMouseColor},
    {"message_input_color", MessageInputColor},
    {"message_position", MessagePosition},
    {"message_size", MessageSize},
    {"message_caption", MessageCaption},
    {"show_menu", ShowMenu},
    {"show_menu_pos", ShowMenuPos},
    {"get_color", GetColor},
    {"get_open_filename", GetOpenFilename},
    {"get_save_filename", GetSaveFilename},
    {"get_directory", GetDirectory},
    {"get_directory_alt", GetDirectoryAlt},
    {"highscore_show", HighscoreShow},
    {"highscore_set_background", HighscoreSetBackground},
    {"highscore_set_border", HighscoreSetBorder},
    {"highscore_set_font", HighscoreSetFont},
    {"highscore_set_colors", HighscoreSetColors},
    {"highscore_set_strings", HighscoreSetStrings},
    {"highscore_show_ext", HighscoreShowExt},
    {"highscore_clear", HighscoreClear},
    {"highscore_add", HighscoreAdd},
    {"highscore_add_current", HighscoreAddCurrent},
    {"highscore_value", HighscoreValue},
    {"highscore_name", HighscoreName},
    {"draw_highscore", DrawHighscore},
    {"action_message", ShowMessage},
    {"action_if_question", ShowQuestion},
    {"action_highscore_show", ActionHighscoreShow},
    {"action_highscore_clear", ActionHighscoreClear},
};

}  // namespace

std::span<const FunctionDef> DialogFunctions() {
  return kDialogFunctions;
}

}  // namespace px
