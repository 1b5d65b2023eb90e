// Calls the data-structure functions the way game code reaches them: by
// name through the function registry of a headless run.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <iomanip>
#include <sstream>
#include <string>
#include <string_view>

#include "code/Code_TestSupport.h"
#include "code/Function_TestSupport.h"

namespace pxtest {

struct DsRun : TestRun {
  // Calls a registered function with exactly its declared number of arguments.
  px::RValue Call(std::string_view name, std::initializer_list<px::RValue> args = {}) {
    return pxtest::Call(*this, name, args);
  }
  double Num(std::string_view name, std::initializer_list<px::RValue> args = {}) {
    const px::RValue r = Call(name, args);
    EXPECT_FALSE(r.isString()) << name << " gave the string " << r.str();
    return r.real;
  }
  std::string Text(std::string_view name, std::initializer_list<px::RValue> args = {}) {
    const px::RValue r = Call(name, args);
    EXPECT_TRUE(r.isString()) << name << " gave the real " << r.real;
    return r.str();
  }

  // The message of the reports since the last call ("" when none), which
  // are then forgotten.
  std::string TakeError() {
    std::string last = rt.code.report.occurred ? rt.code.report.last : "";
    rt.code.report.occurred = false;
    rt.code.report.last.clear();
    return last;
  }
};

// Whether a reported message ends with the expected text (a header naming
// the event may stand in front of it).
inline bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// A value as a test names it: a real in its shortest exact form, a string
// in quotes.
inline std::string Describe(const px::RValue& v) {
  if (v.isString()) return "'" + v.str() + "'";
  std::ostringstream s;
  s << std::setprecision(17) << v.real;
  return s.str();
}

inline constexpr std::string_view kNoSuchStructure = "Data structure with index does not exist.";

}  // namespace pxtest
