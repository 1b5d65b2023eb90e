// The joystick functions over a joystick the test moves.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "code/Function_TestSupport.h"
#include "run/IO_Main.h"
#include "run/Runtime.h"
#include "support/ForwardingPlatform.h"

using namespace px;
using pxtest::CallReal;

namespace {

// The headless platform with two joystick slots the test fills.
class FakeJoysticks final : public pxtest::ForwardingPlatform {
 public:
  explicit FakeJoysticks(std::ostream& out) : ForwardingPlatform(CreateHeadlessPlatform(out)) {}
  std::optional<JoystickReading> readJoystick(int index) override {
    return index == 0 || index == 1 ? slots[static_cast<std::size_t>(index)] : std::nullopt;
  }
  std::array<std::optional<JoystickReading>, 2> slots;
};

// A run on FakeJoysticks, calling functions by name.
struct JoystickRun {
  std::ostringstream out;
  FakeJoysticks platform{out};
  Runtime rt{platform};
  double Call(std::string_view name, std::initializer_list<double> args) {
    std::vector<RValue> values;
    for (const double a : args) values.push_back(pxtest::Real(a));
    const BuiltinFunctionEntry& e =
        rt.code.functions[static_cast<std::size_t>(rt.code.functions.Find(name))];
    FunctionArgs slots{};
    std::copy(values.begin(), values.end(), slots.begin());
    RValue result;
    e.handler(rt, nullptr, nullptr, static_cast<std::int32_t>(values.size()), result, slots);
    return result.real;
  }
};

JoystickReading Stick(std::int32_t x, std::int32_t y) {
  JoystickReading r;
  r.axes[0] = x;
  r.axes[1] = y;
  return r;
}

TEST(Joystick, DirectionThresholds) {
  struct Case {
    std::int32_t x, y;
    double direction;
  };
  const Case cases[] = {
      {32767, 32767, 101}, {19999, 32767, 100}, {20000, 32767, 101}, {44000, 32767, 101},
      {44001, 32767, 102}, {32767, 19999, 104}, {32767, 20000, 101}, {32767, 44000, 101},
      {32767, 44001, 98},  {0, 0, 103},         {65535, 65535, 99},  {0, 65535, 97},
  };
  JoystickRun j;
  for (const Case& c : cases) {
    j.platform.slots[0] = Stick(c.x, c.y);
    EXPECT_EQ(j.Call("joystick_direction", {1}), c.direction) << c.x << " " << c.y;
  }
  j.platform.slots[0].reset();
  EXPECT_EQ(j.Call("joystick_direction", {1}), 101);
}

TEST(Joystick, IdTwoIsTheSecondAndAnyOtherTheFirst) {
  JoystickRun j;
  j.platform.slots[1] = Stick(0, 32767);
  EXPECT_EQ(j.Call("joystick_exists", {2}), 1);
  for (const double id : {0.0, 1.0, 3.0, -2.0}) EXPECT_EQ(j.Call("joystick_exists", {id}), 0);
  EXPECT_EQ(QueryJoystick(j.rt, 2).x, 0);
  EXPECT_FALSE(QueryJoystick(j.rt, 1).answers);
}

TEST(Joystick, AxesButtonsAndPointOfView) {
  JoystickRun j;
  JoystickReading r = Stick(0, 65534);
  r.axes[2] = 32767;
  r.axes[5] = 49150;
  r.axisCount = 6;
  r.buttonCount = 12;
  r.buttons = 0b101 | (1u << 31);
  r.hasPov = true;
  r.pov = 27000;
  j.platform.slots[0] = r;

  EXPECT_EQ(j.Call("joystick_xpos", {1}), -1);
  EXPECT_EQ(j.Call("joystick_ypos", {1}), 1);
  EXPECT_EQ(j.Call("joystick_zpos", {1}), 0);
  EXPECT_DOUBLE_EQ(j.Call("joystick_vpos", {1}), 49150 / 32767.0 - 1);
  EXPECT_EQ(j.Call("joystick_axes", {1}), 6);
  EXPECT_EQ(j.Call("joystick_buttons", {1}), 12);
  EXPECT_EQ(j.Call("joystick_has_pov", {1}), 1);
  EXPECT_EQ(j.Call("joystick_pov", {1}), 270);
  for (const auto& [button, down] :
       std::vector<std::pair<double, double>>{{1, 1}, {2, 0}, {3, 1}, {32, 1}, {0, 0}, {33, 0}})
    EXPECT_EQ(j.Call("joystick_check_button", {1, button}), down) << button;

  j.platform.slots[0]->pov = 65535;  // centred
  EXPECT_EQ(j.Call("joystick_pov", {1}), -1);
  j.platform.slots[0]->pov = 36000;
  EXPECT_EQ(j.Call("joystick_pov", {1}), 360);

  j.platform.slots[0].reset();
  EXPECT_EQ(j.Call("joystick_xpos", {1}), 0);
  EXPECT_EQ(j.Call("joystick_pov", {1}), -1);
  EXPECT_EQ(j.Call("joystick_check_button", {1, 1}), 0);
  EXPECT_EQ(j.Call("joystick_axes", {1}), 0);
}

TEST(Joystick, HeadlessHasNone) {
  pxtest::TestRun run;
  EXPECT_EQ(CallReal(run, "joystick_exists", {1}), 0);
  EXPECT_EQ(CallReal(run, "joystick_direction", {2}), 101);
  EXPECT_EQ(pxtest::Call(run, "joystick_name", {pxtest::Real(1)}).str(), "");
}

}  // namespace
