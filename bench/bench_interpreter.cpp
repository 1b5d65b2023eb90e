// The executor against Lua 5.4 on the same five programs, in one run: each
// program's time in both languages, the ratio ours / Lua, and the geometric
// mean of the ratios.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "code/Code_Exec.h"
#include "code/Code_Main.h"
#include "code/Script_Main.h"
#include "platform/Platform.h"
#include "run/Runner_Code.h"
#include "run/Runtime.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

namespace {

struct Program {
  const char* name;
  const char* ours;  // a program; `fib` is a script of the run
  const char* lua;   // a chunk that returns the same value
};

// Counting loops are C-style `for` loops in our language and numeric `for`
// loops in Lua, each language's own form of a counting loop.
const Program kPrograms[] = {
    {"loop_local", "var i, s; s = 0; for (i = 0; i < 10000000; i += 1) s += i * 2 mod 7; return s;",
     "local s = 0; for i = 0, 9999999 do s = s + i * 2 % 7 end; return s"},
    {"loop_self", "s = 0; for (i = 0; i < 10000000; i += 1) s += i * 2 mod 7; return s;",
     "local self = {}; self.s = 0; self.i = 0; "
     "while self.i < 10000000 do self.s = self.s + self.i * 2 % 7; self.i = self.i + 1 end; "
     "return self.s"},
    {"fib27", "return fib(27);",
     "local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end; "
     "return fib(27)"},
    {"string_append", "var s, i; s = ''; for (i = 0; i < 100000; i += 1) s += 'ab'; return s;",
     "local s = ''; for i = 1, 100000 do s = s .. 'ab' end; return s"},
    {"array_2d",
     "var a, i, j, s; for (i = 0; i < 1000; i += 1) for (j = 0; j < 1000; j += 1) a[i, j] = i + j;"
     " s = 0; for (i = 0; i < 1000; i += 1) for (j = 0; j < 1000; j += 1) s += a[i, j]; return s;",
     "local a = {}; for i = 0, 999 do a[i] = {}; for j = 0, 999 do a[i][j] = i + j end end; "
     "local s = 0; for i = 0, 999 do for j = 0, 999 do s = s + a[i][j] end end; return s"},
};

const char* kFib =
    "if (argument0 < 2) return argument0; return fib(argument0 - 1) + fib(argument0 - 2);";

// A headless run with the fib script and one instance as self and other.
struct OurRun {
  std::ostringstream out;
  std::unique_ptr<px::Platform> platform = px::CreateHeadlessPlatform(out);
  px::Runtime rt{*platform};
  px::CInstanceBase self;

  OurRun() {
    px::CScript fib;
    fib.code = kFib;
    rt.resources.scripts.add("fib", fib);
    if (!px::CompileScripts(rt)) throw std::runtime_error("fib does not compile");
  }
};

void RunOurs(benchmark::State& state, const Program& p) {
  OurRun run;
  px::CCode code(p.ours, false);
  if (!code.Compile(run.rt)) {
    state.SkipWithError(run.rt.code.error.message.c_str());
    return;
  }
  for (auto _ : state) {
    run.self.variables.clear();
    px::RValue result;
    if (!px::ExecuteCode(run.rt, &run.self, &run.self, code, result)) {
      state.SkipWithError(run.rt.code.error.message.c_str());
      return;
    }
    benchmark::DoNotOptimize(result.real);
  }
}

void RunLua(benchmark::State& state, const Program& p) {
  std::unique_ptr<lua_State, decltype(&lua_close)> L(luaL_newstate(), &lua_close);
  luaL_openlibs(L.get());
  if (luaL_loadstring(L.get(), p.lua) != LUA_OK) {
    state.SkipWithError(lua_tostring(L.get(), -1));
    return;
  }
  for (auto _ : state) {
    lua_pushvalue(L.get(), -1);
    if (lua_pcall(L.get(), 0, 1, 0) != LUA_OK) {
      state.SkipWithError(lua_tostring(L.get(), -1));
      return;
    }
    lua_pop(L.get(), 1);
  }
}

// Keeps each benchmark's time per iteration for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Iteration && !r.error_occurred) {
        times[r.benchmark_name()] = r.GetAdjustedRealTime();
      }
    }
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  for (const Program& p : kPrograms) {
    benchmark::RegisterBenchmark((std::string("ours/") + p.name).c_str(), RunOurs, p)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("lua/") + p.name).c_str(), RunLua, p)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  double logSum = 0;
  int count = 0;
  std::printf("\n%-16s %10s %10s %8s\n", "program", "ours ms", "lua ms", "ratio");
  for (const Program& p : kPrograms) {
    const auto ours = reporter.times.find(std::string("ours/") + p.name);
    const auto lua = reporter.times.find(std::string("lua/") + p.name);
    if (ours == reporter.times.end() || lua == reporter.times.end()) continue;
    const double ratio = ours->second / lua->second;
    std::printf("%-16s %10.2f %10.2f %8.2f\n", p.name, ours->second, lua->second, ratio);
    logSum += std::log(ratio);
    ++count;
  }
  if (count > 0) std::printf("%-16s %32.2f\n", "geometric mean", std::exp(logSum / count));
  benchmark::Shutdown();
  return 0;
}
