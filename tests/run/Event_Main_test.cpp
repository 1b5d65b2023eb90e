// Event look-up through parents, dispatch, the current event, and the error
// header that names the running event.
#include <gtest/gtest.h>

#include "world/World_TestSupport.h"

namespace {

using namespace px;
using pxtest::CodeAction;
using pxtest::WorldRun;

constexpr auto kStep = EventKind::Step;

// A ← B ← C, and an unrelated D.
struct Family : testing::Test {
  WorldRun w;
  std::int32_t a = w.AddObject("obj_a");
  std::int32_t b = w.AddObject("obj_b", a);
  std::int32_t c = w.AddObject("obj_c", b);
  std::int32_t d = w.AddObject("obj_d");
};

TEST_F(Family, AnEventIsFoundInTheNearestAncestorThatHasIt) {
  w.On(a, kStep, kEvStepNormal, {CodeAction("log('A', object_index, event_object)")});
  ASSERT_TRUE(w.Start());
  w.Create(c);
  w.Create(d);
  w.Create(b);
  RaiseEvent(w.rt, static_cast<std::int32_t>(kStep), kEvStepNormal);
  // Objects in ascending order, each with the holder named.
  EXPECT_EQ(w.TakeLog(), "A 1 0|A 2 0");
  EXPECT_EQ(FindEvent(w.rt.resources, c, 3, 0).holder, a);
  EXPECT_FALSE(FindEvent(w.rt.resources, d, 3, 0));
  EXPECT_FALSE(FindEvent(w.rt.resources, c, 3, 1));
  EXPECT_FALSE(FindEvent(w.rt.resources, c, 12, 0));
  EXPECT_FALSE(FindEvent(w.rt.resources, c, 3, -1));
  // The event object lists record parents' events too.
  EXPECT_EQ(std::vector<std::int32_t>(w.rt.world.eventLists.objects(3, 0).begin(),
                                      w.rt.world.eventLists.objects(3, 0).end()),
            (std::vector<std::int32_t>{a, b, c}));
}

TEST_F(Family, InheritedRunsTheNearestAncestorsEventAndRestoresTheCurrentEvent) {
  w.On(a, kStep, kEvStepNormal, {CodeAction("log('A', event_object); event_inherited()")});
  w.On(c, kStep, kEvStepNormal,
       {CodeAction("log('C', event_object)"),
        CodeAction("event_inherited(); log('C2', event_object)")});
  w.On(d, kStep, kEvStepNormal, {CodeAction("event_inherited(); log('D')")});
  ASSERT_TRUE(w.Start());
  CInstance& inst = w.Create(c);
  PerformEvent(w.rt, &inst, &inst, 3, 0);
  // B has no step event: the look-up goes on to A, whose own inherited call
  // finds no parent and does nothing.
  EXPECT_EQ(w.TakeLog(), "C 2|A 0|C2 2");
  CInstance& other = w.Create(d);
  PerformEvent(w.rt, &other, &other, 3, 0);
  EXPECT_EQ(w.TakeLog(), "D");
  EXPECT_EQ(w.rt.event.action, 0);
}

TEST_F(Family, PerformObjectUserAndPerformRunOnRequest) {
  w.On(a, EventKind::Other, kEvUser0 + 3, {CodeAction("log('user3', event_type, event_number)")});
  w.On(b, EventKind::Alarm, 4, {CodeAction("log('alarm', id)")});
  w.On(
      d, kStep, kEvStepBegin,
      {CodeAction("event_user(3); event_perform(ev_alarm, 4); event_perform_object(obj_b, 2, 4)")});
  ASSERT_TRUE(w.Start());
  CInstance& inst = w.Create(d);
  PerformEvent(w.rt, &inst, &inst, 3, kEvStepBegin);
  EXPECT_EQ(w.TakeLog(), "alarm 100001");
  CInstance& child = w.Create(c);
  w.Run(child, "event_user(3); event_perform(ev_alarm, 4); event_perform_object(obj_b, 2, 4)");
  EXPECT_EQ(w.TakeLog(), "user3 7 13|alarm 100002|alarm 100002");
}

TEST_F(Family, NothingRunsWhileAChangeIsPending) {
  w.On(a, kStep, kEvStepNormal, {CodeAction("log(id)")});
  ASSERT_TRUE(w.Start());
  w.Create(a);
  w.Create(b);
  w.rt.pendingChange = PendingChange::Room(3);
  RaiseEvent(w.rt, 3, 0);
  PerformEventAll(w.rt, 3, 0);
  EXPECT_EQ(w.TakeLog(), "");
  w.rt.pendingChange = kNoPendingChange;
  PerformEventAll(w.rt, 3, 0);
  EXPECT_EQ(w.TakeLog(), "100001|100002");
}

TEST_F(Family, CollisionEventsForTheOtherObjectsAncestorsComeLast) {
  const auto kCollision = EventKind::Collision;
  // C meets an instance of B: C's chain has no event with B itself, so the
  // one with B's parent A runs.
  w.On(c, kCollision, a, {CodeAction("log('C with A')")});
  ASSERT_TRUE(w.Start());
  EXPECT_EQ(FindEvent(w.rt.resources, c, 4, b).holder, c);
  EXPECT_FALSE(FindEvent(w.rt.resources, c, 4, d));
  // An event with B itself anywhere along C's chain wins over C's own event
  // with A.
  w.On(a, kCollision, b, {CodeAction("log('A with B')")});
  ASSERT_TRUE(w.Start());
  EXPECT_EQ(FindEvent(w.rt.resources, c, 4, b).holder, a);
  // Pairs a <= b where either side has an event with the other.
  std::vector<std::pair<std::int32_t, std::int32_t>> pairs(
      w.rt.world.eventLists.collisionPairs().begin(), w.rt.world.eventLists.collisionPairs().end());
  EXPECT_EQ(pairs, (std::vector<std::pair<std::int32_t, std::int32_t>>{
                       {a, b}, {a, c}, {b, b}, {b, c}, {c, c}}));
}

TEST(EventParents, ALoopOfParentsEndsTheLookUp) {
  WorldRun w;
  const std::int32_t a = w.AddObject("a", 1);
  const std::int32_t b = w.AddObject("b", a);
  ASSERT_TRUE(w.Start());
  EXPECT_FALSE(FindEvent(w.rt.resources, b, 3, 0));
  w.Create(b);
  EXPECT_EQ(w.Run(w.rt.world.instances.at(0), "return instance_number(a)").real, 1);
}

// ---- The error header names the running event ----

TEST(EventNames, RunTimeErrorsNameTheObjectEventAndAction) {
  WorldRun w;
  w.rt.settings.showErrors = false;
  const std::int32_t player = w.AddObject("obj_player");
  const std::int32_t wall = w.AddObject("obj_wall");
  w.rt.resources.triggers.add("trg_ready", CTrigger{});
  const struct {
    EventKind kind;
    std::int32_t number;
    const char* name;
  } cases[] = {
      {EventKind::Create, 0, "Create Event"},
      {EventKind::Destroy, 0, "Destroy Event"},
      {EventKind::Alarm, 11, "Alarm Event for alarm 11"},
      {EventKind::Step, 0, " Step Event"},
      {EventKind::Step, 1, "Begin Step Event"},
      {EventKind::Step, 2, "End Step Event"},
      {EventKind::Collision, 1, "Collision Event with object obj_wall"},
      {EventKind::Keyboard, 37, "Keyboard Event for <Left> Key"},
      {EventKind::Mouse, 60, "Mouse Event for Mouse Wheel Up"},
      {EventKind::Other, 12, "Other Event: User Defined 2"},
      {EventKind::Draw, 0, "Draw Event"},
      {EventKind::KeyPress, 65, "Key Press Event for A-key Key"},
      {EventKind::KeyRelease, 112, "Key Release Event for F1 Key"},
      {EventKind::Trigger, 0, "Trigger Event: trg_ready"},
  };
  for (const auto& c : cases)
    w.On(player, c.kind, c.number, {CodeAction("log(1)"), CodeAction("x = undefined_thing")});
  ASSERT_TRUE(w.Start());
  CInstance& inst = w.Create(player);
  CInstance& other = w.Create(wall);
  for (const auto& c : cases) {
    w.rt.code.report = {};
    PerformEvent(w.rt, &inst, &other, static_cast<std::int32_t>(c.kind), c.number);
    EXPECT_TRUE(
        w.rt.code.report.last.starts_with(std::string("ERROR in\r\naction number 2\r\nof ") +
                                          c.name + "\r\nfor object obj_player:\r\n\r\n"))
        << w.rt.code.report.last;
  }
}

}  // namespace
