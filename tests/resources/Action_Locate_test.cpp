// Function-calling actions find their function when the game loads.
#include <gtest/gtest.h>

#include <sstream>

#include "code/Code_Function.h"
#include "run/Runner_Form.h"
#include "run/Runtime.h"
#include "support/TestSupport.h"

using namespace px;

namespace {

CAction CallAction(const std::string& name) {
  CAction action;
  action.exec_type = ExecType::Function;
  action.function_name = name;
  return action;
}

void Nothing(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue&, const FunctionArgs&) {
}

}  // namespace

TEST(ActionFunctions, UnknownNamesAreReportedAndLoadingGoesOn) {
  GameFile game = pxtest::SampleGame();
  CObject object;
  object.eventSlot(3, 0).actions = {CallAction("known_function"), CallAction("missing_one")};
  game.resources.objects.add("obj", object);
  CTimeLine timeLine;
  timeLine.steps = {5};
  timeLine.events.resize(1);
  timeLine.events[0].actions = {CallAction("missing_two")};
  game.resources.timeLines.add("tl", timeLine);

  pxtest::HeadlessGame headless(game);
  Runtime& rt = headless.rt();
  RegisterFunction(rt, "known_function", Nothing, 0);

  ASSERT_TRUE(LoadAndRun(rt));
  EXPECT_EQ(headless.output(),
            "Failed to locate action function missing_two\n"
            "Failed to locate action function missing_one\n");
  const auto& actions = rt.resources.objects.get(0)->event(3, 0)->actions;
  EXPECT_EQ(actions[0].function_index, FindFunction(rt, "known_function"));
  EXPECT_GE(actions[0].function_index, 0);
  EXPECT_EQ(actions[1].function_index, -1);
}
