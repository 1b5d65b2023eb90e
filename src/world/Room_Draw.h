// Drawing the current room: views that follow an instance, the depth
// order, and the draw events of the instances for each visible view.
#pragma once

namespace px {

struct Runtime;
class CRoom;

void DrawRoom(Runtime& rt);
// Moves each visible view that follows an instance.
void FollowViews(Runtime& rt, CRoom& room);

}  // namespace px
