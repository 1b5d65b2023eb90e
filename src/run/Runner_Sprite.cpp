#include "run/Runner_Sprite.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <vector>

#include "base/BM32_Color.h"
#include "graphics/Graphics_Texture.h"
#include "motion/Sprite_Mask_Build.h"
#include "platform/Platform_Path.h"
#include "platform/Platform_Picture.h"
#include "resources/Background_Class.h"
#include "resources/Sprite_Class.h"
#include "resources/Sprite_File.h"
#include "run/Runtime.h"
#include "system/Support_File.h"
#include "system/Support_Filename.h"

namespace px {

namespace {

// Files games name are read whole; none larger than this.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;

// The host path of an existing regular file named by a game path, or "".
std::string ExistingFile(const std::string& file) {
  const std::string host = HostPath(file);
  std::error_code ec;
  if (host.empty() || !std::filesystem::is_regular_file(host, ec)) return {};
  return host;
}

std::optional<std::vector<std::uint8_t>> ReadHostFile(const std::string& host) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(host, ec);
  if (ec || size > kMaxFileBytes) return std::nullopt;
  std::ifstream in(host, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
}

// A strip is cut into at most this many images (beyond its width they are
// all empty), so a wild count cannot exhaust memory.
constexpr std::int32_t kMaxStripImages = 1 << 20;

// The strip cut into n images of equal width, the rest on the right left out.
std::vector<TBitmap32> CutStrip(const TBitmap32& picture, std::int32_t count,
                                ImagePreparation prep) {
  const int n = std::clamp(count, 1, kMaxStripImages);
  const int cw = picture.width() / n;
  std::vector<TBitmap32> images(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    TBitmap32& image = images[static_cast<std::size_t>(i)];
    if (cw > 0) {
      image.SetSize(cw, picture.height());
      image.CopyFrom(picture, 0, 0, i * cw, 0, cw, picture.height());
    }
    image = Prepared(std::move(image), prep);
  }
  return images;
}

// GIF frames drawn over a canvas of red 64, green 128, blue 0: where a
// frame has drawn nothing the canvas shows, and every image is opaque.
std::vector<TBitmap32> GifImages(const std::vector<TBitmap32>& frames, ImagePreparation prep) {
  constexpr std::uint32_t kCanvas = 0xFF408000;
  std::vector<TBitmap32> images;
  images.reserve(frames.size());
  for (const TBitmap32& frame : frames) {
    TBitmap32 image;
    image.SetSizeFilled(std::max(frame.width(), 1), std::max(frame.height(), 1), kCanvas);
    for (int y = 0; y < frame.height(); ++y) {
      const std::uint32_t* src = frame.row(y);
      std::uint32_t* dst = image.row(y);
      for (int x = 0; x < frame.width(); ++x)
        if ((src[x] >> 24) >= 0x80) dst[x] = src[x] | 0xFF000000u;
    }
    images.push_back(Prepared(std::move(image), prep));
  }
  return images;
}

void FinishSpriteFile(Runtime& rt, CSprite& sprite, SpriteFileData data) {
  sprite.xoffset = data.xoffset;
  sprite.yoffset = data.yoffset;
  sprite.images = std::move(data.images);
  for (TBitmap32& image : sprite.images) FillTransparentColor(image);
  MakeTextures(rt.display.textures, sprite);
  MaskSettings settings;
  settings.separate = data.separateMasks;
  settings.boxMode = data.boxMode;
  settings.left = data.left;
  settings.top = data.top;
  settings.right = data.right;
  settings.bottom = data.bottom;
  settings.shape = data.shape;
  settings.tolerance = data.tolerance;
  BuildMasks(sprite, settings);
}

// The bytes of a resource file named by a game path; nothing when it is
// missing or cannot be read.
std::optional<std::vector<std::uint8_t>> ReadGameFile(const std::string& file) {
  const std::string host = ExistingFile(file);
  if (host.empty()) return std::nullopt;
  return ReadHostFile(host);
}

}  // namespace

bool GameFileExists(const std::string& file) {
  return !ExistingFile(file).empty();
}

bool HasExtension(const std::string& file, std::string_view ext) {
  return SameNameIgnoringCase(FilenameExt(file), ext);
}

void ClearSprite(Runtime& rt, CSprite& sprite) {
  FreeTextures(rt.display.textures, sprite);
  sprite = CSprite{};
}

void RemakeSprite(Runtime& rt, CSprite& sprite, bool separateMasks) {
  MakeTextures(rt.display.textures, sprite);
  MaskSettings settings;
  settings.separate = separateMasks;
  BuildMasks(sprite, settings);
}

TBitmap32 Prepared(TBitmap32 image, ImagePreparation prep) {
  PrepareImage(image, prep.transparent, prep.smooth);
  return image;
}

bool LoadSpritePicture(Runtime& rt, CSprite& sprite, const std::string& file, std::int32_t count,
                       ImagePreparation prep, std::int32_t xorigin, std::int32_t yorigin) {
  const std::string host = ExistingFile(file);
  if (host.empty()) return false;
  if (HasExtension(file, ".gif")) {
    const auto bytes = ReadHostFile(host);
    auto frames = bytes ? DecodeGifFrames(*bytes) : std::nullopt;
    if (!frames) return false;
    ClearSprite(rt, sprite);
    sprite.images = GifImages(*frames, prep);
  } else {
    ClearSprite(rt, sprite);
    const auto bytes = ReadHostFile(host);
    const auto picture = bytes ? LoadPicture(*bytes) : std::nullopt;
    if (!picture) return false;
    sprite.images = CutStrip(*picture, count, prep);
  }
  sprite.xoffset = xorigin;
  sprite.yoffset = yorigin;
  RemakeSprite(rt, sprite, false);
  return true;
}

bool LoadSpriteFile(Runtime& rt, CSprite& sprite, const std::string& file) {
  const auto bytes = ReadGameFile(file);
  if (!bytes) return false;
  SpriteFileResult read = ReadSpriteFile(*bytes);
  if (read.status == ResourceFileStatus::NotOfFormat) return false;
  ClearSprite(rt, sprite);
  if (read.status != ResourceFileStatus::Ok) return false;
  FinishSpriteFile(rt, sprite, std::move(read.sprite));
  return true;
}

void SetBackgroundImage(Runtime& rt, CBackground& background, TBitmap32 image) {
  background.image = std::move(image);
  MakeTextures(rt.display.textures, background);
}

bool LoadBackgroundPicture(Runtime& rt, CBackground& background, const std::string& file,
                           ImagePreparation prep) {
  FreeTextures(rt.display.textures, background);
  background.image.Clear();
  const auto bytes = ReadGameFile(file);
  auto picture = bytes ? LoadPicture(*bytes) : std::nullopt;
  if (!picture) return false;
  SetBackgroundImage(rt, background, Prepared(std::move(*picture), prep));
  return true;
}

bool LoadBackgroundFile(Runtime& rt, CBackground& background, const std::string& file) {
  const auto bytes = ReadGameFile(file);
  if (!bytes) return false;
  BackgroundFileResult read = ReadBackgroundFile(*bytes);
  if (read.status == ResourceFileStatus::NotOfFormat) return false;
  FreeTextures(rt.display.textures, background);
  background.image.Clear();
  if (read.status != ResourceFileStatus::Ok) return false;
  FillTransparentColor(read.image);
  SetBackgroundImage(rt, background, std::move(read.image));
  return true;
}

TBitmap32 ReadScreen(Runtime& rt, int x, int y, int w, int h) {
  std::optional<TBitmap32> read = rt.display.device.ReadBackBuffer(x, y, w, h);
  if (!read) return {};
  const std::size_t count = static_cast<std::size_t>(read->width()) * read->height();
  for (std::uint32_t& p : std::span(read->pixels(), count)) p |= 0xFF000000u;
  return std::move(*read);
}

void CopySprite(Runtime& rt, CSprite& target, const CSprite& source) {
  if (&target == &source) return;
  FreeTextures(rt.display.textures, target);
  target = source;
  target.textures.clear();
  MakeTextures(rt.display.textures, target);
}

void CopyBackground(Runtime& rt, CBackground& target, const CBackground& source) {
  if (&target == &source) return;
  FreeTextures(rt.display.textures, target);
  SetBackgroundImage(rt, target, source.image);
}

void MergeSprite(Runtime& rt, CSprite& target, const CSprite& source) {
  const int w = target.images.empty() ? 1 : target.width();
  const int h = target.images.empty() ? 1 : target.height();
  std::vector<TBitmap32> added = source.images;  // the source may be the target
  for (TBitmap32& image : added) {
    image.Resize(w, h);
    target.images.push_back(std::move(image));
  }
  RemakeSprite(rt, target, target.separateMasks);
}

void AddSpriteImage(Runtime& rt, CSprite& sprite, TBitmap32 image) {
  sprite.images.push_back(std::move(image));
  sprite.images.back().Resize(sprite.width(), sprite.height());
  RemakeSprite(rt, sprite, sprite.separateMasks);
}

void SetSpriteAlphaFrom(Runtime& rt, CSprite& sprite, const CSprite& other) {
  if (!other.images.empty()) {
    const std::vector<TBitmap32> others = other.images;  // the other may be the sprite
    for (std::size_t i = 0; i < sprite.images.size(); ++i)
      MultiplyAlphaBy(sprite.images[i], others[i % others.size()]);
  }
  MakeTextures(rt.display.textures, sprite);
}

void SetBackgroundAlphaFrom(Runtime& rt, CBackground& background, const CBackground& other) {
  const TBitmap32 copy = other.image;
  MultiplyAlphaBy(background.image, copy);
  MakeTextures(rt.display.textures, background);
}

TBitmap32 SpriteStrip(const CSprite& sprite) {
  const int w = sprite.width();
  const int h = sprite.height();
  const auto n = static_cast<std::int64_t>(sprite.images.size());
  if (sprite.images.empty() || std::int64_t{w} * n * h > TBitmap32::kMaxPixels) return {};
  TBitmap32 strip(w * static_cast<int>(n), h);
  for (std::size_t i = 0; i < sprite.images.size(); ++i) {
    const TBitmap32& image = sprite.images[i];
    strip.CopyFrom(image, static_cast<int>(i) * w, 0, 0, 0, std::min(w, image.width()),
                   std::min(h, image.height()));
  }
  return strip;
}

void SaveImageFile(Runtime& rt, const TBitmap32& image, const std::string& file, bool alwaysPng) {
  if (file.empty() || (rt.files.secureMode && HasFolder(file))) return;
  const std::string host = HostPath(file);
  if (host.empty()) return;
  if (alwaysPng || HasExtension(file, ".png")) {
    image.SavePNG(host);
    return;
  }
  const std::vector<std::uint8_t> bmp = image.ToBMP();
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
}

}  // namespace px
