// Built-in functions of drawing: colours and primitives, free primitives,
// sprites, backgrounds and textures, and the drawing actions.
#pragma once

#include <span>

#include "code/Function_List.h"

namespace px {

struct Runtime;
class CInstanceBase;
class CSprite;

std::span<const FunctionDef> DrawingFunctions();
std::span<const FunctionDef> ImageDrawingFunctions();
std::span<const FunctionDef> DrawActionFunctions();

// The texture of a sprite's image. A negative image stands for the
// calling instance's current one; any image is wrapped to the sprite's
// count. -1 when the sprite has no images.
int SpriteImageTexture(const CSprite& sprite, CInstanceBase* self, double image);
// The room's area (the region's without a room), where tiled drawing goes.
struct TileArea {
  double width = 0;
  double height = 0;
};
TileArea RoomArea(const Runtime& rt);

}  // namespace px
