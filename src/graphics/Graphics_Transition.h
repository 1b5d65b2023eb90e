// Room transitions: the frames that lead from the old room's last picture
// (A) to the new room's first (B), and the transitions game code defines.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "graphics/Graphics_Draw.h"

namespace px {

inline constexpr int kBuiltinTransitionCount = 21;
// Numbers game code may give its own transitions.
inline constexpr int kMaxTransitionKind = 999999;

inline bool IsBuiltinTransition(int kind) {
  return kind >= 1 && kind <= kBuiltinTransitionCount;
}

// A transition of game code: the function that draws its frames.
struct TransitionDefinition {
  std::int32_t function = -1;
  std::string name;
};

struct TransitionState {
  // By kind number.
  std::map<int, TransitionDefinition> defined;
  // The surfaces of the transition under way (-1: none), and its kind.
  int surfaceA = -1;
  int surfaceB = -1;
  int kind = 0;

  const TransitionDefinition* Defined(int kind) const {
    const auto it = defined.find(kind);
    return it == defined.end() ? nullptr : &it->second;
  }
  // A built-in kind or one game code defined.
  bool Playable(int k) const { return IsBuiltinTransition(k) || Defined(k) != nullptr; }
  bool underWay() const { return surfaceA >= 0 || surfaceB >= 0; }
};

// Draws the frame of built-in transition `kind` at fraction f (0 to 1) of
// `steps`, from texture a to texture b, both w × h, into the target.
void DrawTransitionFrame(Device& device, Drawing& draw, int kind, int a, int b, int w, int h,
                         double f, int steps);

}  // namespace px
