#include "graphics/Graphics_Draw.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

#include "base/Rounding.h"
#include "graphics/Graphics_Color.h"
#include "resources/Path_Class.h"

namespace px {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kBlack = 0x000000;

// The sides of a rectangle in order, the far sides moved 0.01 outwards
// when whole, so that they cover the pixels whose centres lie on them.
struct Box {
  double x1, y1, x2, y2;
};
Box SortedBox(double x1, double y1, double x2, double y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x2 == std::floor(x2)) x2 += 0.01;
  if (y2 == std::floor(y2)) y2 += 0.01;
  return {x1, y1, x2, y2};
}

}  // namespace

Drawing::Drawing(Device& device, TextureTable& textures) : device_(device), textures_(textures) {
  SetCirclePrecision(24);
}

std::uint32_t Drawing::colorBGR() const {
  return ((color_ >> 16) & 0xFF) | (color_ & 0xFF00) | ((color_ & 0xFF) << 16);
}

void Drawing::SetColor(std::uint32_t bgr) {
  color_ = VertexColor(bgr & 0xFFFFFF, alpha_);
}

void Drawing::SetAlpha(double alpha) {
  alpha_ = std::isnan(alpha) ? 0.0 : std::clamp(alpha, 0.0, 1.0);
  color_ = VertexColor(colorBGR(), alpha_);
}

std::uint32_t Drawing::WithAlpha(std::uint32_t bgr) const {
  return VertexColor(bgr & 0xFFFFFF, alpha_);
}

void Drawing::SetCirclePrecision(int precision) {
  precision_ = std::clamp(precision, 4, 64) / 4 * 4;
  for (int i = 0; i <= precision_; ++i) {
    const double a = 2 * std::numbers::pi * i / precision_;
    cos_[i] = std::cos(a);
    sin_[i] = std::sin(a);
  }
}

// ---- Textured quads ----

void Drawing::Quad(const RTexture& t, double x, double y, double l, double tp, double r, double b,
                   double u0, double v0, double u1, double v1, double angle,
                   const std::uint32_t (&colors)[4]) {
  const double corners[4][2] = {{l, tp}, {r, tp}, {r, b}, {l, b}};
  const double uv[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
  const auto z = static_cast<float>(device_.depth());
  TexturedVertex v[4];
  const bool rotated = std::abs(angle) >= 0.001;
  const double c = rotated ? std::cos(angle) : 1, s = rotated ? std::sin(angle) : 0;
  for (int k = 0; k < 4; ++k) {
    const double lx = corners[k][0], ly = corners[k][1];
    const double px = rotated ? x + lx * c + ly * s : x + lx;
    const double py = rotated ? y - lx * s + ly * c : y + ly;
    v[k] = {static_cast<float>(px),       static_cast<float>(py),      z, colors[k],
            static_cast<float>(uv[k][0]), static_cast<float>(uv[k][1])};
  }
  device_.DrawQuad(t.texture, v);
}

void Drawing::TextureQuad(int id, double x, double y) {
  const RTexture* t = textures_.Get(id);
  if (!t) return;
  const std::uint32_t white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  Quad(*t, x, y, -0.5, -0.5, t->width - 0.5, t->height - 0.5, 0, 0,
       static_cast<double>(t->width) / t->textureWidth,
       static_cast<double>(t->height) / t->textureHeight, 0, white);
}

void Drawing::TextureExt(int id, double xorig, double yorig, double x, double y, double xscale,
                         double yscale, double angle, std::uint32_t bgr, double alpha) {
  const RTexture* t = textures_.Get(id);
  if (!t) return;
  const double l = -xscale * xorig - 0.5, tp = -yscale * yorig - 0.5;
  const std::uint32_t c = VertexColor(bgr & 0xFFFFFF, alpha);
  const std::uint32_t colors[4] = {c, c, c, c};
  Quad(*t, x, y, l, tp, l + t->width * xscale, tp + t->height * yscale, 0, 0,
       static_cast<double>(t->width) / t->textureWidth,
       static_cast<double>(t->height) / t->textureHeight, angle, colors);
}

void Drawing::TexturePartExt(int id, double left, double top, double width, double height, double x,
                             double y, double xscale, double yscale, double angle,
                             std::uint32_t bgr, double alpha) {
  const std::uint32_t c = bgr & 0xFFFFFF;
  TextureGeneral(id, left, top, width, height, x, y, xscale, yscale, angle, c, c, c, c, alpha);
}

void Drawing::TextureGeneral(int id, double left, double top, double width, double height, double x,
                             double y, double xscale, double yscale, double angle, std::uint32_t c1,
                             std::uint32_t c2, std::uint32_t c3, std::uint32_t c4, double alpha) {
  const RTexture* t = textures_.Get(id);
  if (!t) return;
  const std::uint32_t colors[4] = {
      VertexColor(c1 & 0xFFFFFF, alpha), VertexColor(c2 & 0xFFFFFF, alpha),
      VertexColor(c3 & 0xFFFFFF, alpha), VertexColor(c4 & 0xFFFFFF, alpha)};
  const double tw = t->textureWidth, th = t->textureHeight;
  Quad(*t, x, y, -0.5, -0.5, width * xscale - 0.5, height * yscale - 0.5, left / tw, top / th,
       (left + width) / tw, (top + height) / th, angle, colors);
}

void Drawing::TextureTiled(int id, double xorig, double yorig, double x, double y, double xscale,
                           double yscale, bool htiled, bool vtiled, double areaLeft, double areaTop,
                           double areaWidth, double areaHeight, std::uint32_t bgr, double alpha) {
  const RTexture* t = textures_.Get(id);
  if (!t) return;
  const double cwReal = RoundHalfEven(t->width * xscale),
               chReal = RoundHalfEven(t->height * yscale);
  if (!(cwReal >= 1) || !(chReal >= 1)) return;
  const double l = -xscale * xorig - 0.5, r = l + t->width * xscale;
  const double tp = -yscale * yorig - 0.5, b = tp + t->height * yscale;
  const std::uint32_t c = VertexColor(bgr & 0xFFFFFF, alpha);
  const std::uint32_t colors[4] = {c, c, c, c};
  const double u1 = static_cast<double>(t->width) / t->textureWidth;
  const double v1 = static_cast<double>(t->height) / t->textureHeight;
  // The first cell at or before the area's start, one copy lying at the
  // rounded anchor.
  auto first = [](double anchor, double cell, bool tiled, double areaStart) {
    double p = RoundHalfEven(anchor);
    if (!tiled) return p;
    p = std::fmod(p, cell);
    if (p >= 1) p -= cell;
    if (p + cell < areaStart) p += std::floor((areaStart - p - cell) / cell) * cell;
    while (p + cell < areaStart) p += cell;
    return p;
  };
  const double x0 = first(x, cwReal, htiled, areaLeft);
  const double y0 = first(y, chReal, vtiled, areaTop);
  for (double cx = x0; cx < areaLeft + areaWidth; cx += cwReal) {
    for (double cy = y0; cy < areaTop + areaHeight; cy += chReal) {
      Quad(*t, cx, cy, l, tp, r, b, 0, 0, u1, v1, 0, colors);
      if (!vtiled) break;
    }
    if (!htiled) break;
  }
}

// ---- Primitives ----

ColorVertex Drawing::At(double x, double y, std::uint32_t c) const {
  return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(device_.depth()), c};
}

void Drawing::DrawColored(PrimitiveType type, int count) {
  device_.Draw(type, std::span<const ColorVertex>(scratch_.data(), count));
}

void Drawing::Point(double x, double y, std::uint32_t c) {
  scratch_[0] = At(x, y, c);
  DrawColored(PrimitiveType::PointList, 1);
}

void Drawing::Line(double x1, double y1, double x2, double y2, std::uint32_t c1, std::uint32_t c2) {
  scratch_[0] = At(x1, y1, c1);
  scratch_[1] = At(x2, y2, c2);
  DrawColored(PrimitiveType::LineList, 2);
}

void Drawing::LineWidth(double x1, double y1, double x2, double y2, double width, std::uint32_t c1,
                        std::uint32_t c2) {
  const double d = std::hypot(x2 - x1, y2 - y1);
  if (d == 0) return;
  const double dx = (x2 - x1) * (width / 2) / d, dy = (y2 - y1) * (width / 2) / d;
  scratch_[0] = At(x1 - dy, y1 + dx, c1);
  scratch_[1] = At(x2 - dy, y2 + dx, c2);
  scratch_[2] = At(x2 + dy, y2 - dx, c2);
  scratch_[3] = At(x1 + dy, y1 - dx, c1);
  DrawColored(PrimitiveType::TriangleFan, 4);
}

void Drawing::Rectangle(double x1, double y1, double x2, double y2, std::uint32_t c1,
                        std::uint32_t c2, std::uint32_t c3, std::uint32_t c4, bool outline) {
  const Box box = SortedBox(x1, y1, x2, y2);
  scratch_[0] = At(box.x1, box.y1, c1);
  scratch_[1] = At(box.x2, box.y1, c2);
  scratch_[2] = At(box.x2, box.y2, c3);
  scratch_[3] = At(box.x1, box.y2, c4);
  if (outline) {
    scratch_[4] = scratch_[0];
    DrawColored(PrimitiveType::LineStrip, 5);
  } else {
    DrawColored(PrimitiveType::TriangleFan, 4);
  }
}

void Drawing::Triangle(double x1, double y1, double x2, double y2, double x3, double y3,
                       std::uint32_t c1, std::uint32_t c2, std::uint32_t c3, bool outline) {
  scratch_[0] = At(x1, y1, c1);
  scratch_[1] = At(x2, y2, c2);
  scratch_[2] = At(x3, y3, c3);
  if (outline) {
    scratch_[3] = scratch_[0];
    DrawColored(PrimitiveType::LineStrip, 4);
  } else {
    DrawColored(PrimitiveType::TriangleList, 3);
  }
}

void Drawing::Ellipse(double x1, double y1, double x2, double y2, std::uint32_t c1,
                      std::uint32_t c2, bool outline) {
  const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
  const double rx = std::abs(x2 - x1) / 2, ry = std::abs(y2 - y1) / 2;
  const int n = precision_;
  for (int i = 0; i <= n; ++i) scratch_[i + 1] = At(cx + rx * cos_[i], cy + ry * sin_[i], c2);
  if (outline) {
    // Starting on the last rim point closes the outline.
    scratch_[0] = scratch_[n + 1];
    DrawColored(PrimitiveType::LineStrip, n + 2);
  } else {
    scratch_[0] = At(cx, cy, c1);
    DrawColored(PrimitiveType::TriangleFan, n + 2);
  }
}

void Drawing::RoundRect(double x1, double y1, double x2, double y2, std::uint32_t c1,
                        std::uint32_t c2, bool outline) {
  const Box box = SortedBox(x1, y1, x2, y2);
  const double width = box.x2 - box.x1, height = box.y2 - box.y1;
  const double dx = std::min(10.0, width), dy = std::min(10.0, height);
  const double cx = (box.x1 + box.x2) / 2, cy = (box.y1 + box.y2) / 2;
  const double ox = (width - dx) / 2, oy = (height - dy) / 2;
  const int n = precision_, quarter = n / 4;
  // Arcs bottom-right, bottom-left, top-left, top-right, each around its
  // corner's centre.
  const double centres[4][2] = {
      {cx + ox, cy + oy}, {cx - ox, cy + oy}, {cx - ox, cy - oy}, {cx + ox, cy - oy}};
  int k = 1;
  for (int arc = 0; arc < 4; ++arc) {
    for (int i = arc * quarter; i <= (arc + 1) * quarter; ++i)
      scratch_[k++] =
          At(centres[arc][0] + dx / 2 * cos_[i], centres[arc][1] + dy / 2 * sin_[i], c2);
  }
  scratch_[k++] = scratch_[1];
  if (outline) {
    scratch_[0] = scratch_[k - 1];
    DrawColored(PrimitiveType::LineStrip, k);
  } else {
    scratch_[0] = At(cx, cy, c1);
    DrawColored(PrimitiveType::TriangleFan, k);
  }
}

void Drawing::Arrow(double x1, double y1, double x2, double y2, double size) {
  const double length = std::hypot(x2 - x1, y2 - y1);
  if (length == 0) return;
  Line(x1, y1, x2, y2, color_, color_);
  const double s = std::min(size, length);
  const double ux = (x2 - x1) * s / length, uy = (y2 - y1) * s / length;
  Triangle(x2 - ux - uy / 3, y2 - uy + ux / 3, x2, y2, x2 - ux + uy / 3, y2 - uy - ux / 3, color_,
           color_, color_, false);
}

void Drawing::Button(double x1, double y1, double x2, double y2, bool up) {
  const std::uint32_t light = WithAlpha(up ? kWhite : kGrey), dark = WithAlpha(up ? kGrey : kWhite);
  Triangle(x1, y1, x2, y1, x1, y2, light, light, light, false);
  Triangle(x1, y2, x2, y1, x2, y2, dark, dark, dark, false);
  Rectangle(x1 + 2, y1 + 2, x2 - 2, y2 - 2, color_, color_, color_, color_, false);
}

void Drawing::HealthBar(double x1, double y1, double x2, double y2, double amount,
                        std::uint32_t backColor, std::uint32_t minColor, std::uint32_t maxColor,
                        int direction, bool showBack, bool showBorder) {
  amount = std::isnan(amount) ? 0.0 : std::clamp(amount, 0.0, 100.0);
  const std::uint32_t black = WithAlpha(kBlack);
  if (showBack) {
    const std::uint32_t back = WithAlpha(backColor);
    Rectangle(x1, y1, x2, y2, back, back, back, back, false);
    if (showBorder) Rectangle(x1, y1, x2, y2, black, black, black, black, true);
  }
  switch (direction) {
    case 1:
      x1 = x2 - (x2 - x1) * amount / 100;
      break;
    case 2:
      y2 = y1 + (y2 - y1) * amount / 100;
      break;
    case 3:
      y1 = y2 - (y2 - y1) * amount / 100;
      break;
    default:
      x2 = x1 + (x2 - x1) * amount / 100;
      break;
  }
  const std::uint32_t mid = MergeColor(minColor, maxColor, 0.5);
  const std::uint32_t bar = WithAlpha(amount <= 50 ? MergeColor(minColor, mid, amount / 50)
                                                   : MergeColor(mid, maxColor, (amount - 50) / 50));
  Rectangle(x1, y1, x2, y2, bar, bar, bar, bar, false);
  if (showBorder) Rectangle(x1, y1, x2, y2, black, black, black, black, true);
}

void Drawing::Path(const CPath& path, double x, double y, bool absolute) {
  const double n = RoundHalfEven(path.length() / 4);
  if (!(n >= 1)) return;
  double ox = 0, oy = 0;
  if (!absolute) {
    const RPathPoint start = path.PointAt(0);
    ox = x - start.x;
    oy = y - start.y;
  }
  PrimitiveBegin(3);
  const auto points = static_cast<std::int64_t>(n);
  for (std::int64_t i = 0; i <= points; ++i) {
    const RPathPoint p = path.PointAt(static_cast<double>(i) / n);
    Vertex(p.x + ox, p.y + oy, color_);
    if (i > 0 && i % 500 == 0 && i < points) {
      PrimitiveEnd();
      PrimitiveBegin(3);
      Vertex(p.x + ox, p.y + oy, color_);
    }
  }
  PrimitiveEnd();
}

// ---- Free primitives ----

void Drawing::PrimitiveBegin(int kind, int texture) {
  count_ = 0;
  kind_ = kind;
  texture_ = texture;
}

void Drawing::Vertex(double x, double y, std::uint32_t c, double u, double v) {
  if (count_ >= kMaxPrimitiveVertices) return;
  buffer_[count_++] = {
      static_cast<float>(x), static_cast<float>(y), static_cast<float>(device_.depth()), c,
      static_cast<float>(u), static_cast<float>(v)};
}

void Drawing::DrawPrimitiveBuffer(PrimitiveType type, int count, TextureHandle texture) {
  device_.Draw(type, std::span<const TexturedVertex>(buffer_.data(), count), texture);
}

void Drawing::PrimitiveEnd() {
  if (kind_ < 1 || kind_ > 6) return;
  const auto type = static_cast<PrimitiveType>(kind_);
  // The vertices the primitives use: whole lines and triangles only.
  int used = count_;
  switch (type) {
    case PrimitiveType::PointList:
      break;
    case PrimitiveType::LineList:
      used = count_ / 2 * 2;
      break;
    case PrimitiveType::LineStrip:
      if (count_ < 2) used = 0;
      break;
    case PrimitiveType::TriangleList:
      used = count_ / 3 * 3;
      break;
    case PrimitiveType::TriangleStrip:
    case PrimitiveType::TriangleFan:
      if (count_ < 3) used = 0;
      break;
  }
  if (used < 1) return;
  const RTexture* t = textures_.Get(texture_);
  DrawPrimitiveBuffer(type, used, t ? t->texture : 0);
}

}  // namespace px
