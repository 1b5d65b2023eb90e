#include "base/BM32_Bitmap.h"

#include <gtest/gtest.h>

#include "platform/Platform_Picture.h"
#include "support/TestSupport.h"

using namespace px;

TEST(Bitmap32, ResizeRepeatsPixelsAndBlanksTransparentOnes) {
  TBitmap32 image(2, 2);
  image.SetPixel(0, 0, 0xFF112233);
  image.SetPixel(1, 0, 0x00ABCDEF);  // transparent: becomes 0
  image.SetPixel(0, 1, 0x80445566);
  image.SetPixel(1, 1, 0x01000001);
  image.Resize(4, 4);
  const std::uint32_t expected[4] = {0xFF112233, 0, 0x80445566, 0x01000001};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(image.GetPixel(x, y), expected[(y / 2) * 2 + x / 2]);
  // Shrinking takes every other pixel; non-positive sizes change nothing.
  image.Resize(2, 2);
  EXPECT_EQ(image.GetPixel(1, 1), 0x01000001u);
  image.Resize(0, 5);
  EXPECT_EQ(image.width(), 2);
}

TEST(Bitmap32, CopyFromClipsBothImages) {
  const TBitmap32 src = pxtest::PatternImage(4, 4, 3);
  struct Case {
    int dx, dy, sx, sy, w, h;
  };
  for (const Case c : {Case{0, 0, 0, 0, 4, 4}, Case{-1, 2, 0, 0, 4, 4}, Case{1, 1, -2, 1, 9, 9},
                       Case{2, -3, 1, 0, 2, 9}, Case{5, 0, 0, 0, 4, 4}, Case{0, 0, 0, 0, -1, 3}}) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy << "," << c.sx << "," << c.sy);
    TBitmap32 dst(3, 3);
    dst.CopyFrom(src, c.dx, c.dy, c.sx, c.sy, c.w, c.h);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) {
        // Which source pixel, if any, lands on (x, y).
        const int u = x - c.dx + c.sx, v = y - c.dy + c.sy;
        const bool inside = x - c.dx >= 0 && y - c.dy >= 0 && x - c.dx < c.w && y - c.dy < c.h &&
                            u >= 0 && v >= 0 && u < 4 && v < 4 && c.sx + (x - c.dx) >= 0;
        EXPECT_EQ(dst.GetPixel(x, y), inside ? src.GetPixel(u, v) : 0u) << x << "," << y;
      }
  }
}

TEST(Bitmap32, OpaqueBoundsAndPixelsOutside) {
  TBitmap32 image(5, 4);
  EXPECT_EQ(image.OpaqueBounds(0), (RRect{4, 3, 0, 0}));
  image.SetPixel(1, 2, 0x10000000);
  image.SetPixel(3, 1, 0xFF000000);
  EXPECT_EQ(image.OpaqueBounds(0), (RRect{1, 1, 3, 2}));
  EXPECT_EQ(image.OpaqueBounds(0x10), (RRect{3, 1, 3, 1}));
  EXPECT_EQ(image.GetPixel(-1, 0), 0u);
  EXPECT_EQ(image.GetPixel(5, 0), 0u);
}

TEST(Bitmap32, AssignCopiesOrEmpties) {
  TBitmap32 a = pxtest::PatternImage(3, 2, 1);
  TBitmap32 b;
  b.Assign(a);
  EXPECT_EQ(b, a);
  b.Assign(TBitmap32{});
  EXPECT_TRUE(b.empty());
  EXPECT_EQ(b.width(), 0);
}

namespace {

// Decodes a PNG file with Python's zlib and struct (independent of our
// code) and prints "w h" then every pixel as RRGGBBAA.
const char* kPythonDecoder = R"(
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n'
pos, idat = 8, b''
while pos < len(data):
    n, = struct.unpack('>I', data[pos:pos+4]); kind = data[pos+4:pos+8]; body = data[pos+8:pos+8+n]
    crc, = struct.unpack('>I', data[pos+8+n:pos+12+n])
    assert crc == zlib.crc32(kind + body) & 0xffffffff, kind
    if kind == b'IHDR': w, h, depth, color = struct.unpack('>IIBB', body[:10]); assert (depth, color) == (8, 6)
    if kind == b'IDAT': idat += body
    pos += 12 + n
raw = zlib.decompress(idat)
out = [f'{w} {h}']
for y in range(h):
    row = raw[y*(4*w+1):(y+1)*(4*w+1)]
    assert row[0] == 0
    out += [row[1+4*x:5+4*x].hex() for x in range(w)]
print(' '.join(out))
)";

std::string Expected(const TBitmap32& image) {
  std::string out = std::to_string(image.width()) + " " + std::to_string(image.height());
  char buf[16];
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const std::uint32_t p = image.GetPixel(x, y);
      std::snprintf(buf, sizeof buf, " %02x%02x%02x%02x", (p >> 16) & 255, (p >> 8) & 255, p & 255,
                    p >> 24);
      out += buf;
    }
  return out + "\n";
}

}  // namespace

TEST(Bitmap32Png, IndependentDecodersSeeTheExactPixels) {
  pxtest::ScratchDir dir;
  pxtest::WriteText(dir / "decode.py", kPythonDecoder);
  TBitmap32 red(1, 1);
  red.SetPixel(0, 0, 0x80FF0000);
  for (const TBitmap32& image : {red, pxtest::PatternImage(7, 5, 11), TBitmap32{}}) {
    const std::string file = (dir / "out.png").string();
    ASSERT_TRUE(image.SavePNG(file));
    const auto decoded =
        pxtest::RunProgram("/usr/bin/python3", {(dir / "decode.py").string(), file});
    EXPECT_EQ(decoded.exitCode, 0) << decoded.err;
    EXPECT_EQ(decoded.out, Expected(image));
    if (!image.empty()) {
      const auto check = pxtest::RunProgram("/usr/bin/pngcheck", {file});
      EXPECT_EQ(check.exitCode, 0) << check.out;
    }
  }
  EXPECT_EQ(Expected(red), "1 1 ff000080\n");
  EXPECT_FALSE(red.SavePNG((dir / "no/such/dir.png").string()));
}

TEST(Bitmap32Png, LoadingAPictureKeepsAlphaOverTheFill) {
  pxtest::ScratchDir dir;
  TBitmap32 image(3, 1);
  image.SetPixel(0, 0, 0xFF102030);  // opaque: unchanged
  image.SetPixel(1, 0, 0x00123456);  // transparent: the fill colour
  image.SetPixel(2, 0, 0x80000000);  // half: blended with the fill
  ASSERT_TRUE(image.SavePNG((dir / "a.png").string()));
  TBitmap32 loaded;
  ASSERT_TRUE(LoadPictureFile(loaded, (dir / "a.png").string()));
  EXPECT_EQ(loaded.GetPixel(0, 0), 0xFF102030u);
  EXPECT_EQ(loaded.GetPixel(1, 0), 0x00FEFFFFu);
  EXPECT_EQ(loaded.GetPixel(2, 0), 0x807F7F7Fu);

  // Without any alpha the picture is opaque; a missing file changes nothing.
  TBitmap32 noAlpha(2, 1);
  noAlpha.SetPixel(0, 0, 0x00FF0000);
  pxtest::WriteBytes(dir / "b.bmp", noAlpha.ToBMP());
  ASSERT_TRUE(LoadPictureFile(loaded, (dir / "b.bmp").string()));
  EXPECT_EQ(loaded.GetPixel(0, 0), 0xFFFF0000u);
  EXPECT_FALSE(LoadPictureFile(loaded, (dir / "missing.png").string()));
  EXPECT_EQ(loaded.width(), 2);
}
