// Helpers for the scripting-language tests: a headless run and a small
// world of instances behind the instance lookup.
#pragma once

#include <cstdint>
#include <memory>
#include <sstream>
#include <vector>

#include "code/Variable_Main.h"
#include "platform/Platform.h"
#include "run/Runtime.h"

namespace pxtest {

inline px::RValue Real(double v) {
  return px::RValue::FromReal(v);
}
inline px::RValue Str(const char* s) {
  return px::RValue::FromString(s);
}

// A Runtime on the headless platform.
struct TestRun {
  std::ostringstream out;
  std::unique_ptr<px::Platform> platform = px::CreateHeadlessPlatform(out);
  px::Runtime rt{*platform};
};

struct TestInstance : px::CInstanceBase {
  TestInstance(std::int32_t id, std::int32_t object, bool destroyed = false)
      : id(id), object(object), destroyed(destroyed) {}
  std::int32_t id;
  std::int32_t object;
  bool destroyed;
};

// The room's instance list in order; an object has no descendants here.
class TestWorld : public px::InstanceLookup {
 public:
  std::vector<TestInstance*> room;

  px::CInstanceBase* findInstance(std::int32_t id) override {
    for (TestInstance* i : room) {
      if (i->id == id && !i->destroyed) return i;
    }
    return nullptr;
  }
  px::CInstanceBase* nextInstance(std::int32_t target, std::size_t& cursor,
                                  std::size_t end) override {
    while (cursor < end && cursor < room.size()) {
      TestInstance* i = room[cursor++];
      if (!i->destroyed && (target == px::kAll || i->object == target)) return i;
    }
    return nullptr;
  }
  std::size_t walkEnd(std::int32_t) override { return room.size(); }
};

}  // namespace pxtest
