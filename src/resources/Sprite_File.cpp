#include "resources/Sprite_File.h"

#include <optional>

#include "base/Support_Inflate.h"
#include "base/Support_Stream.h"
#include "resources/Resource_List.h"

namespace px {

namespace {

// The inflated body of a file with the magic number, or nothing. A body
// may hold many images, but no more than this.
constexpr std::size_t kMaxBodyBytes = std::size_t{512} << 20;

std::optional<CStream> ReadBody(std::span<const std::uint8_t> file) {
  try {
    CStream s(std::vector<std::uint8_t>(file.begin(), file.end()));
    if (StreamReadInt(s) != kResourceFileMagic) return std::nullopt;
    const std::int32_t n = StreamReadInt(s);
    return CStream(InflateAtMost(s.take(n > 0 ? static_cast<std::size_t>(n) : 0), kMaxBodyBytes));
  } catch (const StreamError&) {
    return std::nullopt;
  }
}

// The images of a sprite body: an image record takes at least its version,
// width and height, so a count the body cannot hold is refused unread.
bool ReadImages(CStream& s, std::vector<TBitmap32>& images) {
  const std::size_t n = ReadCount(s, 12);
  images.resize(n);
  for (TBitmap32& image : images)
    if (!ReadResourceImage(s, image)) return false;
  return true;
}

bool ReadSpriteBody(CStream& s, SpriteFileData& d) {
  d.xoffset = StreamReadInt(s);
  d.yoffset = StreamReadInt(s);
  if (!ReadImages(s, d.images)) return false;
  d.shape = StreamReadInt(s);
  d.tolerance = StreamReadInt(s);
  d.separateMasks = StreamReadBool(s);
  d.boxMode = StreamReadInt(s);
  d.left = StreamReadInt(s);
  d.right = StreamReadInt(s);
  d.bottom = StreamReadInt(s);
  d.top = StreamReadInt(s);
  return true;
}

std::vector<std::uint8_t> WithMagic(const CStream& body) {
  CStream s;
  StreamWriteInt(s, kResourceFileMagic);
  StreamWriteCompressedBlock(s, body.bytes());
  return s.release();
}

}  // namespace

SpriteFileResult ReadSpriteFile(std::span<const std::uint8_t> file) {
  SpriteFileResult result;
  std::optional<CStream> body = ReadBody(file);
  if (!body) return result;
  try {
    if (StreamReadInt(*body) != kSpriteFileVersion) {
      result.status = ResourceFileStatus::WrongVersion;
      return result;
    }
    result.status =
        ReadSpriteBody(*body, result.sprite) ? ResourceFileStatus::Ok : ResourceFileStatus::Damaged;
  } catch (const StreamError&) {
    result.status = ResourceFileStatus::Damaged;
  }
  if (result.status != ResourceFileStatus::Ok) result.sprite = {};
  return result;
}

BackgroundFileResult ReadBackgroundFile(std::span<const std::uint8_t> file) {
  BackgroundFileResult result;
  std::optional<CStream> body = ReadBody(file);
  if (!body) return result;
  try {
    if (StreamReadInt(*body) != kBackgroundFileVersion) {
      result.status = ResourceFileStatus::WrongVersion;
      return result;
    }
    StreamReadBool(*body);
    body->skip(6 * 4);
    result.status = ReadResourceImage(*body, result.image) ? ResourceFileStatus::Ok
                                                           : ResourceFileStatus::Damaged;
  } catch (const StreamError&) {
    result.status = ResourceFileStatus::Damaged;
  }
  if (result.status != ResourceFileStatus::Ok) result.image.Clear();
  return result;
}

std::vector<std::uint8_t> WriteSpriteFile(const SpriteFileData& d) {
  CStream body;
  StreamWriteInt(body, kSpriteFileVersion);
  StreamWriteInt(body, d.xoffset);
  StreamWriteInt(body, d.yoffset);
  StreamWriteInt(body, static_cast<std::int32_t>(d.images.size()));
  for (const TBitmap32& image : d.images) image.WriteToStream(body);
  StreamWriteInt(body, d.shape);
  StreamWriteInt(body, d.tolerance);
  StreamWriteBool(body, d.separateMasks);
  for (const std::int32_t v : {d.boxMode, d.left, d.right, d.bottom, d.top})
    StreamWriteInt(body, v);
  return WithMagic(body);
}

std::vector<std::uint8_t> WriteBackgroundFile(const TBitmap32& image) {
  CStream body;
  StreamWriteInt(body, kBackgroundFileVersion);
  StreamWriteBool(body, false);
  for (int i = 0; i < 6; ++i) StreamWriteInt(body, 0);
  image.WriteToStream(body);
  return WithMagic(body);
}

}  // namespace px
