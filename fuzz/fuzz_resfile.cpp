// libFuzzer target over the readers of the sprite and background files
// games load at run time, and over the picture header checks that guard
// the picture loader. Beyond crashes and unbounded allocation it checks
// that whatever a reader accepts writes a file that reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/Platform_Picture.h"
#include "resources/Sprite_File.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

int FuzzResourceFile(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);

  const px::SpriteFileResult sprite = px::ReadSpriteFile(file);
  if (sprite.status == px::ResourceFileStatus::Ok) {
    const px::SpriteFileResult again = px::ReadSpriteFile(px::WriteSpriteFile(sprite.sprite));
    Check(again.status == px::ResourceFileStatus::Ok && again.sprite == sprite.sprite);
  } else {
    Check(sprite.sprite.images.empty());
  }

  const px::BackgroundFileResult background = px::ReadBackgroundFile(file);
  if (background.status == px::ResourceFileStatus::Ok) {
    const px::BackgroundFileResult again =
        px::ReadBackgroundFile(px::WriteBackgroundFile(background.image));
    Check(again.status == px::ResourceFileStatus::Ok && again.image == background.image);
  } else {
    Check(background.image.empty());
  }

  px::PictureFitsLimits(file);
  return 0;
}

#ifndef PXRUN_NO_FUZZ_MAIN
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return FuzzResourceFile(data, size);
}
#endif
