// The dialog functions on the headless platform: the texts they print, the
// answers they take from the answer queue or by default, the settings of
// the message window, and the highscore functions on a scratch registry.
#include "library/Function_Dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "code/Function_TestSupport.h"
#include "graphics/Graphics_TestSupport.h"
#include "run/Dialog_Highscore.h"
#include "run/Dialog_State.h"
#include "system/File_TestSupport.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::Real;
using pxtest::Str;

struct DialogRun {
  pxtest::ScratchDir dir;
  pxtest::TestRun run;
  DialogRun() {
    run.rt.files.registry.useDatabase((dir / "registry.sqlite").string());
    run.rt.flags.gameId = 31337;
  }
  // What the dialogs printed since the last call.
  std::string Printed() {
    std::string text = run.out.str();
    run.out.str("");
    return text;
  }
};

TEST(DialogFunctions, ShownTextsAndDefaultAnswers) {
  DialogRun d;
  const struct {
    const char* function;
    std::vector<RValue> args;
    const char* printed;
    RValue result;
  } cases[] = {
      {"show_message", {Real(2.5)}, "2.50\n", Real(0)},
      {"show_message", {Real(3)}, "3\n", Real(0)},
      {"show_message", {Str("one#two")}, "one\ntwo\n", Real(0)},
      {"show_message", {Str("100\\#1")}, "100#1\n", Real(0)},
      {"show_message", {Str("a\r\nb\rc")}, "a\nb\nc\n", Real(0)},
      {"action_message", {Str("hello")}, "hello\n", Real(0)},
      // The first button is the default answer.
      {"show_question", {Str("Sure?")}, "Sure?\n", Real(1)},
      {"action_if_question", {Str("Sure?")}, "Sure?\n", Real(1)},
      {"show_message_ext", {Str("m"), Str(""), Str("&Mid"), Str("&Right")}, "m\n", Real(2)},
      {"show_message_ext", {Str("m"), Str(""), Str(""), Str("")}, "m\n", Real(0)},
      {"get_string", {Str("Name?"), Str("Ann")}, "Name?\n", Str("Ann")},
      {"get_string", {Str("Age?"), Real(1.5)}, "Age?\n", Str("1.50")},
      {"get_integer", {Str("How many?"), Real(7)}, "How many?\n", Real(7)},
      {"get_integer", {Str("How many?"), Real(2.5)}, "How many?\n", Real(2)},
      {"show_menu", {Str("New|-|Open"), Real(-1)}, "New\n-\nOpen\n", Real(-1)},
      {"show_menu_pos", {Real(5), Real(5), Str("A|B"), Real(4)}, "A\nB\n", Real(4)},
      {"get_color", {Real(255)}, "Color\n", Real(255)},
      {"get_open_filename", {Str("Text|*.txt"), Str("a.txt")}, "Open\nText|*.txt\n", Str("a.txt")},
      {"get_save_filename", {Str(""), Str("b.sav")}, "Save As\n", Str("b.sav")},
      {"get_directory", {Str("/tmp")}, "Select Directory\n", Str("/tmp")},
      {"get_directory_alt", {Str("Pick"), Str("/")}, "Pick\n", Str("/")},
  };
  for (const auto& c : cases) {
    const RValue result = pxtest::CallWith(d.run, c.function, c.args);
    EXPECT_EQ(d.Printed(), c.printed) << c.function;
    EXPECT_EQ(result, c.result) << c.function << " " << c.printed;
  }
}

TEST(DialogFunctions, AnswersFromTheQueueInOrder) {
  DialogRun d;
  SetDialogAnswers(d.run.rt,
                   "2\r\nno\nYes\nCancel\nabc\n-12\n  42 \nBob\n\nOpen\n2\nnothing\n16711680\n"
                   "/home/a.txt\n");
  const struct {
    const char* function;
    std::vector<RValue> args;
    RValue result;
  } cases[] = {
      {"show_question", {Str("q")}, Real(1)},  // button 2 is hidden: the default
      {"show_question", {Str("q")}, Real(0)},  // "No" by its text
      {"show_question", {Str("q")}, Real(1)},
      {"show_message_ext", {Str("m"), Str("&Yes"), Str(""), Str("&Cancel")}, Real(3)},
      {"get_integer", {Str("n"), Real(5)}, Real(5)},
      {"get_integer", {Str("n"), Real(5)}, Real(-12)},
      {"get_integer", {Str("n"), Real(5)}, Real(42)},
      {"get_string", {Str("s"), Str("def")}, Str("Bob")},
      {"get_string", {Str("s"), Str("def")}, Str("")},
      {"show_menu", {Str("New|-|Open|Quit"), Real(-1)}, Real(1)},
      {"show_menu", {Str("New|-|Open|Quit"), Real(-1)}, Real(2)},
      {"show_menu", {Str("New|-|Open|Quit"), Real(-1)}, Real(-1)},
      {"get_color", {Real(0)}, Real(0xFF0000)},
      {"get_open_filename", {Str(""), Str("")}, Str("/home/a.txt")},
      // No answers left: defaults.
      {"show_message_ext", {Str("m"), Str("&Yes"), Str(""), Str("&Cancel")}, Real(1)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(pxtest::CallWith(d.run, c.function, c.args), c.result) << c.function;
  }
}

TEST(DialogFunctions, EveryDialogClearsTheInputState) {
  DialogRun d;
  const char* functions[] = {"show_message", "show_question", "get_string", "show_menu",
                             "highscore_show"};
  for (const char* f : functions) {
    InputState& in = d.run.rt.input;
    in.held[65] = in.pressed[65] = true;
    in.lastKey = in.key = 65;
    in.mheld[1] = in.mpressed[1] = true;
    in.typed = "abc";
    std::vector<RValue> args{Str("x")};
    if (std::string(f) == "get_string" || std::string(f) == "show_menu") args.push_back(Real(0));
    if (std::string(f) == "highscore_show") args = {Real(10)};
    pxtest::CallWith(d.run, f, args);
    EXPECT_FALSE(in.held[65]) << f;
    EXPECT_FALSE(in.pressed[65]) << f;
    EXPECT_EQ(in.key, 0) << f;
    EXPECT_FALSE(in.mheld[1]) << f;
    EXPECT_EQ(in.typed, "") << f;
  }
}

TEST(DialogFunctions, MessageWindowSettings) {
  DialogRun d;
  Runtime& rt = d.run.rt;
  const MessageSettings& s = Dialogs(rt).message;
  const pxtest::ReportCase errors[] = {
      {"Trying to set a non-existing message background", "message_background", {Real(0)}},
      {"Trying to set a non-existing message button", "message_button", {Real(-1)}},
  };
  pxtest::ExpectReports(d.run, errors);
  EXPECT_EQ(s.background, -1);
  EXPECT_EQ(s.buttonSprite, -1);
  d.Printed();

  const struct {
    double alpha;
    int stored;
  } alphas[] = {{0.5, 128}, {1, 255}, {2, 255}, {-1, 0}, {0.1, 26}};
  for (const auto& c : alphas) {
    Call(d.run, "message_alpha", {Real(c.alpha)});
    EXPECT_EQ(s.alpha, c.stored) << c.alpha;
  }

  Call(d.run, "message_text_font", {Str("Arial"), Real(14), Real(0x00FF00), Real(3)});
  EXPECT_EQ(s.textFont.name, "Arial");
  EXPECT_EQ(s.textFont.size, 14);
  EXPECT_EQ(s.textFont.color, 0x00FF00u);
  EXPECT_EQ(s.textFont.style, FontStyle::BoldItalic);
  // Empty name, negative size and colour and an unknown style change nothing.
  Call(d.run, "message_text_font", {Str(""), Real(-1), Real(-1), Real(7)});
  EXPECT_EQ(s.textFont.name, "Arial");
  EXPECT_EQ(s.textFont.size, 14);
  EXPECT_EQ(s.textFont.color, 0x00FF00u);
  EXPECT_EQ(s.textFont.style, FontStyle::BoldItalic);
  Call(d.run, "message_button_font", {Str("Serif"), Real(9), Real(0), Real(0)});
  EXPECT_EQ(s.buttonFont.name, "Serif");
  EXPECT_EQ(s.buttonFont.style, FontStyle::Normal);
  EXPECT_EQ(s.textFont.name, "Arial");

  Call(d.run, "message_position", {Real(10), Real(-1)});
  Call(d.run, "message_size", {Real(400), Real(-1)});
  Call(d.run, "message_caption", {Real(1), Str("Note")});
  EXPECT_EQ(s.left, 10);
  EXPECT_EQ(s.top, -1);
  EXPECT_EQ(s.width, 400);
  EXPECT_TRUE(s.showCaption);
  EXPECT_EQ(s.caption, "Note");
  EXPECT_EQ(d.Printed(), "");
}

// The table's order and ties through the functions, with the rank names
// and the nobody text.
TEST(DialogFunctions, HighscoreOrderAndTies) {
  DialogRun d;
  EXPECT_EQ(Call(d.run, "highscore_name", {Real(1)}), Str("<nobody>"));
  EXPECT_EQ(Call(d.run, "highscore_value", {Real(1)}), Real(0));
  for (int i = 1; i <= 10; ++i)
    Call(d.run, "highscore_add", {Str(("p" + std::to_string(i)).c_str()), Real(1100 - 100 * i)});
  // Ranks now hold 1000, 900, …, 100.
  Call(d.run, "highscore_add", {Str("tie10"), Real(100)});  // equal to rank 10: not inserted
  Call(d.run, "highscore_add", {Str("tie3"), Real(800)});   // equal to rank 3: lands at 4
  Call(d.run, "highscore_add", {Str("neg"), Real(-5)});
  const struct {
    double place;
    RValue name;
    double value;
  } ranks[] = {{1, Str("p1"), 1000},     {3, Str("p3"), 800},   {4, Str("tie3"), 800},
               {5, Str("p4"), 700},      {10, Str("p9"), 200},  {0, Str("<nobody>"), 0},
               {11, Str("<nobody>"), 0}, {1.4, Str("p1"), 1000}};
  for (const auto& r : ranks) {
    EXPECT_EQ(Call(d.run, "highscore_name", {Real(r.place)}), r.name) << r.place;
    EXPECT_EQ(Call(d.run, "highscore_value", {Real(r.place)}), Real(r.value)) << r.place;
  }
  Call(d.run, "highscore_set_strings", {Str("Best"), Str("(empty)"), Str("Esc")});
  Call(d.run, "highscore_clear");
  EXPECT_EQ(Call(d.run, "highscore_name", {Real(10)}), Str("(empty)"));
  EXPECT_EQ(Call(d.run, "highscore_value", {Real(1)}), Real(0));
  EXPECT_EQ(d.Printed(), "");
}

TEST(DialogFunctions, HighscoreShowPrintsTheTableAndStoresTheTypedName) {
  DialogRun d;
  Call(d.run, "highscore_add", {Str("Ann"), Real(500)});
  SetDialogAnswers(d.run.rt, "Zed\n");
  Call(d.run, "highscore_show", {Real(700)});
  std::string expected = "Top Ten Players\n1.  700\n2. Ann 500\n";
  for (int r = 3; r <= 10; ++r) expected += std::to_string(r) + ". <nobody> 0\n";
  expected += "press <Escape> to close\n";
  EXPECT_EQ(d.Printed(), expected);
  EXPECT_EQ(Call(d.run, "highscore_name", {Real(1)}), Str("Zed"));
  EXPECT_EQ(Call(d.run, "highscore_value", {Real(1)}), Real(700));
  // A score that does not qualify is shown without asking.
  SetDialogAnswers(d.run.rt, "Nobody\n");
  Call(d.run, "highscore_show", {Real(0)});
  EXPECT_EQ(NextDialogAnswer(d.run.rt), "Nobody");
  EXPECT_EQ(Call(d.run, "highscore_name", {Real(3)}), Str("<nobody>"));
}

TEST(DialogFunctions, HighscoreAddCurrentAsksOnlyForABetterScore) {
  DialogRun d;
  for (int i = 0; i < 10; ++i) Call(d.run, "highscore_add", {Str("x"), Real(50)});
  d.run.rt.world.score = 50;  // equal to the tenth: nothing asked
  Call(d.run, "highscore_add_current");
  EXPECT_EQ(d.Printed(), "");
  d.run.rt.world.score = 51;
  Call(d.run, "highscore_add_current");
  EXPECT_EQ(d.Printed(),
            "You reached a place in the highscore table.\nPlease provide your name.\n");
  EXPECT_EQ(Call(d.run, "highscore_name", {Real(1)}), Str("player"));
  EXPECT_EQ(Call(d.run, "highscore_value", {Real(1)}), Real(51));
  d.run.rt.world.score = 60;
  SetDialogAnswers(d.run.rt, "Eve\n");
  Call(d.run, "highscore_add_current");
  EXPECT_EQ(Call(d.run, "highscore_name", {Real(1)}), Str("Eve"));
}

TEST(DialogFunctions, HighscoreShowExtAndActionSetTheWindow) {
  DialogRun d;
  const HighscoreSettings& h = Dialogs(d.run.rt).highscore;
  Call(d.run, "highscore_show_ext",
       {Real(0), Real(3), Real(0), Real(0x00FF00), Real(0x808080), Str("Courier"), Real(20)});
  EXPECT_EQ(h.background, 3);
  EXPECT_FALSE(h.border);
  EXPECT_EQ(h.newColor, 0x00FF00u);
  EXPECT_EQ(h.otherColor, 0x808080u);
  EXPECT_EQ(h.font.name, "Courier");
  EXPECT_EQ(h.font.size, 20);
  d.run.rt.world.score = 10;
  SetDialogAnswers(d.run.rt, "Al\n");
  Call(d.run, "action_highscore_show",
       {Real(-1), Real(1), Real(0xFF), Real(0), Str("\"Times New Roman\",14,1,0")});
  EXPECT_EQ(h.font.name, "Times New Roman");
  EXPECT_EQ(h.font.size, 14);
  EXPECT_EQ(h.font.style, FontStyle::Bold);
  EXPECT_TRUE(h.border);
  EXPECT_EQ(Call(d.run, "highscore_name", {Real(1)}), Str("Al"));
  Call(d.run, "action_highscore_clear");
  EXPECT_EQ(Call(d.run, "highscore_value", {Real(1)}), Real(0));
}

// draw_highscore writes each rank's name from x1 and its score ending at
// x2, one tenth of the height apart, in the drawing colour.
TEST(DialogFunctions, DrawHighscorePutsNamesLeftAndScoresRight) {
  pxtest::DeviceRun run;
  pxtest::ScratchDir dir;
  run.rt.files.registry.useDatabase((dir / "registry.sqlite").string());
  Call(run, "highscore_add", {Str("W"), Real(888)});
  run.device().ClearTarget(0x000000, 1);
  Call(run, "draw_set_color", {Real(0xFFFFFF)});
  Call(run, "draw_highscore", {Real(0), Real(0), Real(64), Real(200)});
  const TBitmap32 frame = run.Frame();
  // Rows are 20 high: row 1 (y 0..19) holds the name at the left and the
  // score at the right; nothing lies between them in the middle.
  const auto lit = [&](int x1, int x2, int y1, int y2) {
    int n = 0;
    for (int y = y1; y < y2; ++y)
      for (int x = x1; x < x2; ++x) n += (frame.GetPixel(x, y) & 0xFFFFFF) > 0x404040;
    return n;
  };
  EXPECT_GT(lit(0, 16, 0, 19), 5);
  EXPECT_EQ(lit(18, 34, 0, 19), 0);
  EXPECT_GT(lit(40, 64, 0, 19), 5);
  // Row 2 holds "<nobody>" and "0" (at the right edge).
  EXPECT_GT(lit(56, 64, 20, 40), 3);
}

}  // namespace
