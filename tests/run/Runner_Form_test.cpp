// Preparing a loaded game to run.
#include "run/Runner_Form.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "run/Runtime.h"
#include "support/ForwardingPlatform.h"

using namespace px;

namespace {

class PriorityRecorder final : public pxtest::ForwardingPlatform {
 public:
  explicit PriorityRecorder(std::ostream& out) : ForwardingPlatform(CreateHeadlessPlatform(out)) {}
  void setProgramPriority(int level) override {
    levels.push_back(level);
    ForwardingPlatform::setProgramPriority(level);
  }
  std::vector<int> levels;
};

// The game's priority is asked of the platform (which leaves the process
// alone headless), never set on the process behind its back.
TEST(PrepareGame, ThePrioritySettingGoesThroughThePlatform) {
  struct Case {
    std::int32_t priority;
    std::vector<int> levels;
  };
  for (const Case& c : {Case{0, {}}, Case{1, {1}}, Case{2, {2}}}) {
    SCOPED_TRACE(c.priority);
    std::ostringstream out;
    PriorityRecorder platform(out);
    Runtime rt(platform);
    rt.settings.priority = c.priority;
    PrepareGame(rt);
    EXPECT_EQ(platform.levels, c.levels);
  }
}

}  // namespace
