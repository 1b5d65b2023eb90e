// Calling built-in functions by name in tests, without the executor.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "code/Code_TestSupport.h"

namespace pxtest {

// Calls the registered function `name` as game code would, with self and
// other absent; the result starts as real 0. Fails the test when the name
// is not registered or takes another number of arguments.
inline px::RValue CallWith(TestRun& run, std::string_view name, std::span<const px::RValue> args) {
  const px::CFunctionRegistry& functions = run.rt.code.functions;
  const std::int32_t index = functions.Find(name);
  if (index < 0) {
    ADD_FAILURE() << name << " is not registered";
    return {};
  }
  const px::BuiltinFunctionEntry& entry = functions[static_cast<std::size_t>(index)];
  const auto argc = static_cast<std::int32_t>(args.size());
  if (entry.argCount != px::kAnyArgumentCount && entry.argCount != argc) {
    ADD_FAILURE() << name << " takes " << entry.argCount << " arguments, not " << argc;
    return {};
  }
  px::FunctionArgs slots{};
  std::copy(args.begin(), args.end(), slots.begin());
  px::RValue result;
  entry.handler(run.rt, nullptr, nullptr, argc, result, slots);
  return result;
}

inline px::RValue Call(TestRun& run, std::string_view name,
                       std::initializer_list<px::RValue> args = {}) {
  return CallWith(run, name, std::span<const px::RValue>(args.begin(), args.size()));
}

// The real field of the result of a call with real arguments.
inline double CallReal(TestRun& run, std::string_view name, std::initializer_list<double> args) {
  std::vector<px::RValue> values;
  for (const double a : args) values.push_back(Real(a));
  return CallWith(run, name, values).real;
}

// Whether two reals are the same number, NaN matching NaN.
inline bool SameReal(double a, double b) {
  return a == b || (std::isnan(a) && std::isnan(b));
}

}  // namespace pxtest
