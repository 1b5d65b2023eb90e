// Prints the built-in functions of the signature list that no family
// implements yet, and how many there are.
#include <cstdio>
#include <sstream>

#include "library/Function_List.h"
#include "platform/Platform.h"
#include "run/Runtime.h"

int main() {
  std::ostringstream out;
  const auto platform = px::CreateHeadlessPlatform(out);
  px::Runtime rt(*platform);
  std::size_t missing = 0;
  for (const px::FunctionSignature& sig : px::BuiltinFunctionSignatures()) {
    if (rt.code.functions.Find(sig.name) >= 0) continue;
    std::printf("%.*s\n", static_cast<int>(sig.name.size()), sig.name.data());
    ++missing;
  }
  std::printf("%zu of %zu functions are not registered yet\n", missing,
              px::BuiltinFunctionSignatures().size());
  return 0;
}
