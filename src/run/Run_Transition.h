// Room transitions around a room change: the old room's last picture is
// kept when the room ends, the new room's first frame is drawn beside it,
// and the frames between the two are shown before the game goes on.
#pragma once

namespace px {

struct Runtime;

// At the end of a room, when transition_kind names a transition: surface A
// receives the old room's picture, and surface B, of the same size,
// becomes the target the new room is drawn into. Without room for either
// surface the transition is dropped (kind -1).
void CaptureTransition(Runtime& rt);
// Whether a captured transition waits for the new room's first frame.
bool TransitionCaptured(const Runtime& rt);
// Shows the frames of the captured transition, the new room's first frame
// having been drawn into B, and frees both surfaces; the back buffer is the
// target again. Nothing without a captured transition.
void PlayTransition(Runtime& rt);
// Frees the surfaces of a captured transition that will not be played.
void DropTransition(Runtime& rt);

}  // namespace px
