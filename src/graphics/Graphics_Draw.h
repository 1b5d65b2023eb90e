// Drawing into the device: the textured quad and its variants behind every
// sprite, background and surface drawing function, tiled drawing, the 2D
// primitives, free primitives built vertex by vertex, and the drawing
// colour, alpha and circle precision they use. Every vertex takes the
// device's current depth as its z. Vertices are built in fixed arrays;
// nothing is allocated while drawing.
#pragma once

#include <array>
#include <cstdint>

#include "graphics/Graphics_D3D.h"
#include "graphics/Graphics_Texture.h"

namespace px {

class CPath;

inline constexpr int kMaxPrimitiveVertices = 1001;

class Drawing {
 public:
  Drawing(Device& device, TextureTable& textures);
  Drawing(const Drawing&) = delete;
  Drawing& operator=(const Drawing&) = delete;

  // The drawing colour as a vertex colour (its alpha is the drawing
  // alpha's), and the drawing alpha.
  std::uint32_t color() const { return color_; }
  std::uint32_t colorBGR() const;
  double alpha() const { return alpha_; }
  void SetColor(std::uint32_t bgr);
  // Held to 0..1.
  void SetAlpha(double alpha);
  // A colour 0xBBGGRR with the drawing alpha, as a vertex colour.
  std::uint32_t WithAlpha(std::uint32_t bgr) const;

  int circlePrecision() const { return precision_; }
  // Held to 4..64 and rounded down to a multiple of 4.
  void SetCirclePrecision(int precision);

  // Textured quads; a missing texture draws nothing. Angles are radians
  // counter-clockwise on the screen, colours 0xBBGGRR with an alpha of 0..1.
  void TextureQuad(int id, double x, double y);
  void TextureExt(int id, double xorig, double yorig, double x, double y, double xscale,
                  double yscale, double angle, std::uint32_t bgr, double alpha);
  // The part (left, top, width, height) of the image, in texels, not cut to
  // the image.
  void TexturePartExt(int id, double left, double top, double width, double height, double x,
                      double y, double xscale, double yscale, double angle, std::uint32_t bgr,
                      double alpha);
  // As the part, with the colours of the top-left, top-right, bottom-right
  // and bottom-left corners.
  void TextureGeneral(int id, double left, double top, double width, double height, double x,
                      double y, double xscale, double yscale, double angle, std::uint32_t c1,
                      std::uint32_t c2, std::uint32_t c3, std::uint32_t c4, double alpha);
  // The image repeated across the area (in either direction or both) so
  // that one copy lies at (x, y).
  void TextureTiled(int id, double xorig, double yorig, double x, double y, double xscale,
                    double yscale, bool htiled, bool vtiled, double areaLeft, double areaTop,
                    double areaWidth, double areaHeight, std::uint32_t bgr, double alpha);

  // Primitives in vertex colours 0xAARRGGBB.
  void Point(double x, double y, std::uint32_t c);
  void Line(double x1, double y1, double x2, double y2, std::uint32_t c1, std::uint32_t c2);
  void LineWidth(double x1, double y1, double x2, double y2, double width, std::uint32_t c1,
                 std::uint32_t c2);
  // Corner colours top-left, top-right, bottom-right, bottom-left.
  void Rectangle(double x1, double y1, double x2, double y2, std::uint32_t c1, std::uint32_t c2,
                 std::uint32_t c3, std::uint32_t c4, bool outline);
  void Triangle(double x1, double y1, double x2, double y2, double x3, double y3, std::uint32_t c1,
                std::uint32_t c2, std::uint32_t c3, bool outline);
  // The ellipse inside the box, c1 at the centre and c2 on the rim.
  void Ellipse(double x1, double y1, double x2, double y2, std::uint32_t c1, std::uint32_t c2,
               bool outline);
  void RoundRect(double x1, double y1, double x2, double y2, std::uint32_t c1, std::uint32_t c2,
                 bool outline);
  // In the drawing colour: a line and a filled head at (x2, y2).
  void Arrow(double x1, double y1, double x2, double y2, double size);
  void Button(double x1, double y1, double x2, double y2, bool up);
  // Colours 0xBBGGRR, drawn with the drawing alpha; direction 0 grows from
  // the left, 1 from the right, 2 from the top, 3 from the bottom.
  void HealthBar(double x1, double y1, double x2, double y2, double amount, std::uint32_t backColor,
                 std::uint32_t minColor, std::uint32_t maxColor, int direction, bool showBack,
                 bool showBorder);
  // The path as a line strip in the drawing colour, at its own place when
  // `absolute`, else started at (x, y). Uses the free-primitive buffer.
  void Path(const CPath& path, double x, double y, bool absolute);

  // Free primitives: kind 1 points, 2 lines, 3 a line strip, 4 triangles,
  // 5 a triangle strip, 6 a triangle fan. The buffer holds at most
  // kMaxPrimitiveVertices; later vertices are dropped.
  void PrimitiveBegin(int kind, int texture = -1);
  void Vertex(double x, double y, std::uint32_t c, double u = 0, double v = 0);
  void PrimitiveEnd();
  int primitiveVertexCount() const { return count_; }

 private:
  void Quad(const RTexture& t, double x, double y, double l, double tp, double r, double b,
            double u0, double v0, double u1, double v1, double angle,
            const std::uint32_t (&colors)[4]);
  void DrawColored(PrimitiveType type, int count);
  void DrawPrimitiveBuffer(PrimitiveType type, int count, TextureHandle texture);
  ColorVertex At(double x, double y, std::uint32_t c) const;

  Device& device_;
  TextureTable& textures_;
  std::uint32_t color_ = 0xFF000000;
  double alpha_ = 1.0;
  int precision_ = 0;
  std::array<double, 65> cos_{};
  std::array<double, 65> sin_{};
  // Vertices of one primitive: a round rectangle at the finest precision
  // needs the most, 64 + 6.
  std::array<ColorVertex, 70> scratch_{};
  std::array<TexturedVertex, kMaxPrimitiveVertices> buffer_{};
  int count_ = 0;
  int kind_ = 0;
  int texture_ = -1;
};

}  // namespace px
