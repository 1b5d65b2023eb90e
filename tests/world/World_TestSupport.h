// A small game world for tests: objects with code-action events, sprites
// with hand-drawn masks, prepared actions, and a log that game code writes
// to through log(...).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "code/Code_TestSupport.h"
#include "resources/Resource_Chunks.h"
#include "run/Event_Main.h"

namespace pxtest {

// A code action running `code`.
px::CAction CodeAction(std::string code);
// A question whose answer is the value of `code`.
px::CAction QuestionAction(std::string code, bool isNot = false);
// A begin block, end block, else, exit or repeat (with its count).
px::CAction ControlAction(px::ActionKind kind, std::string count = "");
// A call of a built-in function with argument texts of kind expression.
px::CAction FunctionAction(std::string function, std::vector<std::string> args);

class WorldRun {
 public:
  WorldRun();
  ~WorldRun();
  WorldRun(const WorldRun&) = delete;
  WorldRun& operator=(const WorldRun&) = delete;

  // Adds an object; returns its index.
  std::int32_t AddObject(const std::string& name, std::int32_t parent = -1);
  px::CObject& object(std::int32_t index) { return *rt.resources.objects.get(index); }
  // Stores an event's actions in an object.
  void On(std::int32_t object, px::EventKind kind, std::int32_t number,
          std::vector<px::CAction> actions);
  // A sprite of one sub-image from rows of '#' (solid) and '.'.
  std::int32_t AddSprite(const std::string& name, std::initializer_list<std::string_view> rows,
                         int xoffset = 0, int yoffset = 0);
  // Adds a script, compiled by Start().
  void AddScript(const std::string& name, const std::string& text);
  // Compiles the scripts, prepares every action and starts the world; false
  // after a compile error.
  bool Start();

  // instance_create as game code calls it.
  px::CInstance& Create(std::int32_t object, double x = 0, double y = 0);
  // Runs a program for an instance (self and other) and fails the test on
  // a compile error. Returns the value it returned.
  px::RValue Run(px::CInstance& self, std::string_view code);
  // Starts the game and runs it for at most `steps` steps; the log.
  std::string Play(std::int64_t steps);
  // The log as one text, entries separated by '|'; clears it.
  std::string TakeLog();

  // Gives the run a headless drawing device of this size, its frame begun,
  // for tests that look at pixels; fails the test when there is none.
  void UseDevice(int width, int height);
  // The device's pixel at (x, y) as ARGB.
  std::uint32_t Pixel(int x, int y);

  TestRun run;
  px::Runtime& rt = run.rt;
  std::vector<std::string> log;
};

}  // namespace pxtest
