// libFuzzer target over the whole game loader. The first input byte picks
// what the rest is:
//   even: the game data as stored (from the magic on);
//   odd:  the plain main block (filler, ids, chunks), which the target
//         scrambles and puts behind a valid header, so mutations reach the
//         chunk readers instead of dying in the unscrambling.
// Either way the data goes to the first probe offset of an in-memory file.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "platform/Platform.h"
#include "run/Runner_Load.h"
#include "run/Runtime.h"

namespace {

std::vector<std::uint8_t> WrapMainBlock(const std::uint8_t* data, std::size_t size) {
  px::CStream out;
  px::StreamWriteInt(out, px::kGameMagic);
  px::StreamWriteInt(out, px::kGameVersion);
  px::StreamWriteBool(out, false);
  px::WriteGameSettings(out, px::GameSettings{});
  px::StreamWriteString(out, "D3DX8.dll");
  px::StreamWriteCompressedBlock(out, {});
  px::WriteScrambledGameData(out, {data, size}, {px::MakePermutationTable(1), 0, 0});
  return out.release();
}

}  // namespace

int FuzzLoader(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The file image is reused between runs; only the part after the first
  // probe offset changes.
  static std::vector<std::uint8_t> file(px::kFirstProbe, 0);
  file.resize(px::kFirstProbe);
  if (data[0] & 1) {
    const auto wrapped = WrapMainBlock(data + 1, size - 1);
    file.insert(file.end(), wrapped.begin(), wrapped.end());
  } else {
    file.insert(file.end(), data + 1, data + size);
  }

  std::ostringstream out;
  auto platform = px::CreateHeadlessPlatform(out);
  px::Runtime rt(*platform);
  rt.tempDir.TryCreate("/tmp/pxfuzz");
  px::CStream stream(std::move(file));
  try {
    px::FindGameDataIn(rt, stream);
  } catch (const std::exception&) {
    // Start-up reports these as a corrupted file; only crashes matter here.
  }
  file = stream.release();
  return 0;
}

#ifndef PXRUN_NO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzLoader(data, size);
}
#endif
