// The sprite and background files read at run time: what a good file
// gives, how bad files are told apart (not of the format, another version,
// damaged), and the inputs kept from fuzzing the readers.
#include "resources/Sprite_File.h"

#include <gtest/gtest.h>

#include "base/Support_Inflate.h"
#include "base/Support_Stream.h"
#include "support/FuzzReplay.h"

int FuzzResourceFile(const std::uint8_t* data, std::size_t size);

namespace {

using namespace px;

// A file with the magic number around a body.
std::vector<std::uint8_t> FileWithBody(const CStream& body) {
  CStream s;
  StreamWriteInt(s, kResourceFileMagic);
  StreamWriteCompressedBlock(s, body.bytes());
  return s.release();
}

TEST(SpriteFile, ReadsBackWhatWasWritten) {
  SpriteFileData d;
  d.xoffset = -4;
  d.yoffset = 9;
  d.images = {pxtest::PatternImage(5, 3, 1), pxtest::PatternImage(5, 3, 2)};
  d.shape = 2;
  d.tolerance = 17;
  d.separateMasks = true;
  d.boxMode = 2;
  d.left = 1, d.right = 3, d.bottom = 2, d.top = 0;
  const SpriteFileResult read = ReadSpriteFile(WriteSpriteFile(d));
  EXPECT_EQ(read.status, ResourceFileStatus::Ok);
  EXPECT_EQ(read.sprite, d);
  const BackgroundFileResult back = ReadBackgroundFile(WriteBackgroundFile(d.images[1]));
  EXPECT_EQ(back.status, ResourceFileStatus::Ok);
  EXPECT_EQ(back.image, d.images[1]);
}

TEST(SpriteFile, BadFilesAreToldApart) {
  CStream oldVersion;
  StreamWriteInt(oldVersion, 799);
  CStream hugeCount;  // claims 2^30 images in a body of a few bytes
  StreamWriteInt(hugeCount, kSpriteFileVersion);
  for (const int v : {0, 0, 1 << 30}) StreamWriteInt(hugeCount, v);
  CStream cut;  // stops inside the mask settings
  StreamWriteInt(cut, kSpriteFileVersion);
  for (const int v : {0, 0, 0, 1}) StreamWriteInt(cut, v);
  const struct {
    const char* what;
    std::vector<std::uint8_t> file;
    ResourceFileStatus status;
  } cases[] = {
      {"empty", {}, ResourceFileStatus::NotOfFormat},
      {"no magic", {1, 2, 3, 4, 5, 6, 7, 8}, ResourceFileStatus::NotOfFormat},
      {"magic only", {0x91, 0xD5, 0x12, 0}, ResourceFileStatus::NotOfFormat},
      {"old version", FileWithBody(oldVersion), ResourceFileStatus::WrongVersion},
      {"huge count", FileWithBody(hugeCount), ResourceFileStatus::Damaged},
      {"cut short", FileWithBody(cut), ResourceFileStatus::Damaged},
  };
  for (const auto& c : cases) {
    const SpriteFileResult read = ReadSpriteFile(c.file);
    EXPECT_EQ(read.status, c.status) << c.what;
    EXPECT_TRUE(read.sprite.images.empty()) << c.what;
  }
}

TEST(SpriteFile, BodiesInflateOnlyUpToTheirLimit) {
  CStream zeros;
  StreamWriteCompressedBlock(zeros, std::vector<std::uint8_t>(std::size_t{1} << 20, 0));
  const auto compressed = std::span(zeros.bytes()).subspan(4);
  EXPECT_EQ(InflateAtMost(compressed, std::size_t{1} << 20).size(), std::size_t{1} << 20);
  EXPECT_THROW(InflateAtMost(compressed, 1000), StreamError);
}

TEST(FuzzRegressions, ResourceFileInputsReadWithoutFault) {
  pxtest::ReplayFuzzInputs(FuzzResourceFile, {PXRUN_SOURCE_DIR "/fuzz/seeds/resfile",
                                              PXRUN_SOURCE_DIR "/fuzz/regressions/resfile"});
}

}  // namespace
