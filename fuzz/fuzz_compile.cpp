// libFuzzer target over the compiler. The first input byte picks the mode
// (even: a program, odd: an expression); the rest is the code text. A few
// functions and resources are known so that calls, scripts and resource
// names are reached.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "code/Code_Main.h"
#include "platform/Platform.h"
#include "run/Runtime.h"

namespace {

void Ignore(px::Runtime&, px::CInstanceBase*, px::CInstanceBase*, std::int32_t, px::RValue&,
            const px::FunctionArgs&) {}

}  // namespace

int FuzzCompile(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::ostringstream out;
  auto platform = px::CreateHeadlessPlatform(out);
  px::Runtime rt(*platform);
  px::RegisterFunction(rt, "f", Ignore, px::kAnyArgumentCount);
  px::RegisterFunction(rt, "g", Ignore, 0);
  px::RegisterFunction(rt, "h", Ignore, 2);
  rt.resources.scripts.add("scr", px::CScript{});
  rt.resources.objects.add("obj", px::CObject{});

  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  px::CCode code(text, (data[0] & 1) != 0);
  if (code.Compile(rt)) {
    // A compiled unit refuses a second compilation.
    code.Compile(rt);
  }
  return 0;
}

#ifndef PXRUN_NO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzCompile(data, size);
}
#endif
