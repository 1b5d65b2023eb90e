// Drawing the current room: views that follow an instance, the depth
// order, and the draw events of the instances for each visible view.
#pragma once

namespace px {

struct Runtime;
class CRoom;
class CSprite;
class CInstanceBase;

void DrawRoom(Runtime& rt);
// Shows the frame drawn so far and starts the next one.
void ShowFrame(Runtime& rt);
// Draws the room and shows it at once, outside the step's own drawing.
void RedrawScreen(Runtime& rt);
// Moves each visible view that follows an instance.
void FollowViews(Runtime& rt, CRoom& room);

// The texture of a sprite's image. A negative image stands for the
// calling instance's current one; any image is wrapped to the sprite's
// count. -1 when the sprite has no images.
int SpriteImageTexture(const CSprite& sprite, CInstanceBase* self, double image);

}  // namespace px
