// Built-in functions of drawing: colours and primitives, free primitives,
// sprites, backgrounds and textures, and the drawing actions.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "library/Function_List.h"

namespace px {

struct Runtime;
class CInstanceBase;
class CSprite;

std::span<const FunctionDef> DrawingFunctions();
std::span<const FunctionDef> ImageDrawingFunctions();
std::span<const FunctionDef> DrawActionFunctions();
std::span<const FunctionDef> TextFunctions();
std::span<const FunctionDef> FontFunctions();
std::span<const FunctionDef> SurfaceFunctions();

class CFont;
class RValue;
struct TextStyle;
// The default font, made on first need; the font of that number when it
// exists, else the default font.
CFont& DefaultFont(Runtime& rt);
CFont& TextFont(Runtime& rt, int index);
// The text of a text argument: a string as it is, a real written as game
// code writes it (into `scratch`).
std::string_view TextOf(const RValue& v, std::string& scratch);
// Draws the text in the font of that number (the default font when none).
void DrawTextWith(Runtime& rt, int font, double x, double y, std::string_view text,
                  const TextStyle& style);

// The room's area (the region's without a room), where tiled drawing goes.
struct TileArea {
  double width = 0;
  double height = 0;
};
TileArea RoomArea(const Runtime& rt);

class Drawing;
class TextureTable;
// The texture stretched to w × h from the top-left corner; nothing for an
// empty box or image.
void Stretched(Drawing& d, const TextureTable& textures, int texture, double x, double y, double w,
               double h, std::uint32_t colour, double alpha);

}  // namespace px
