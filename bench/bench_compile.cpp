// Compiling a 20,000-line program of everyday game code: assignments with
// arithmetic, arrays and instance prefixes, calls, conditions, loops,
// switches, with statements and locals. Once with no resources, once in a
// game with a few thousand resources, since every plain name is first
// looked up among the resource names. The rate is in source lines.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "code/Code_Main.h"
#include "platform/Platform.h"
#include "run/Runtime.h"

namespace {

constexpr int kLines = 20000;

void Ignore(px::Runtime&, px::CInstanceBase*, px::CInstanceBase*, std::int32_t, px::RValue&,
            const px::FunctionArgs&) {}

// Ten lines of varied code per block, names varying with the block number.
std::string Program() {
  std::ostringstream s;
  s << "var i, j, total;\r\n";
  int lines = 1;
  for (int n = 0; lines + 10 <= kLines; ++n, lines += 10) {
    const int k = n % 97;
    s << "speed_" << k << " = (x + hspeed * 2.5) / 3 - other.y mod 7; // step " << n << "\r\n"
      << "if (health < 20 && !dead_" << k << ") { alarm[0] = room_speed * 2; dead_" << k
      << " = true; }\r\n"
      << "for (i = 0; i < 10; i += 1) grid[i, " << k << "] = i * $1F + c_red;\r\n"
      << "while (total < 100) do total += f(i, j, \"item\") + g();\r\n"
      << "switch (state_" << k << ") { case 0: state_" << k << " = 1; break; default: exit }\r\n"
      << "with (obj_enemy) { image_angle += 5; target.x = other.x; }\r\n"
      << "name_" << k << " = \"score: \" + string_of(score) + ' / ' + 'max';\r\n"
      << "repeat (3) { j = j << 1 | 1; total -= -j; }\r\n"
      << "do { i -= 1 } until (i <= 0 or global.paused_" << k << ");\r\n"
      << "if h(i, k_" << k << ") = 2 then result = 1 else result = not result;\r\n";
  }
  for (; lines < kLines; ++lines) s << "x += 1;\r\n";
  return s.str();
}

void Setup(px::Runtime& rt, int resourcesPerKind) {
  px::RegisterFunction(rt, "f", Ignore, 3);
  px::RegisterFunction(rt, "g", Ignore, 0);
  px::RegisterFunction(rt, "h", Ignore, 2);
  px::RegisterFunction(rt, "string_of", Ignore, 1);
  for (int i = 0; i < resourcesPerKind; ++i) {
    rt.resources.objects.add("obj_" + std::to_string(i), px::CObject{});
    rt.resources.sprites.add("spr_" + std::to_string(i), px::CSprite{});
    rt.resources.sounds.add("snd_" + std::to_string(i), px::CSound{});
    rt.resources.rooms.add("rm_" + std::to_string(i), px::CRoom{});
  }
  rt.resources.objects.add("obj_enemy", px::CObject{});
}

void Compile(benchmark::State& state, int resourcesPerKind) {
  std::ostringstream out;
  auto platform = px::CreateHeadlessPlatform(out);
  px::Runtime rt(*platform);
  Setup(rt, resourcesPerKind);
  const std::string program = Program();
  for (auto _ : state) {
    px::CCode code(program, false);
    if (!code.Compile(rt)) {
      state.SkipWithError(rt.code.error.message.c_str());
      return;
    }
    benchmark::DoNotOptimize(code.root().children.size());
  }
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(kLines),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Compile20000Lines(benchmark::State& state) {
  Compile(state, 0);
}
void BM_Compile20000LinesAmong2000Resources(benchmark::State& state) {
  Compile(state, 500);
}

BENCHMARK(BM_Compile20000Lines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compile20000LinesAmong2000Resources)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
